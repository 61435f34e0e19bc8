#include "model/JobLevelRules.h"

#include <limits>

namespace tw {
namespace {

constexpr std::int64_t FriendsMaximum = 25;
constexpr std::int64_t SkillMaximum = 1000;
constexpr std::int64_t MoodLimit = 100;
constexpr std::int64_t LastHour = 23;
constexpr std::int64_t CarPoolMaximum = 8;

}  // namespace

Requirements RequirementsBelow(const CareerTrack& track, std::size_t level) {
    Requirements below{};
    if (level == 0 || level > track.levels.size()) return below;
    for (std::size_t i = 0; i < below.size(); ++i) below[i] = track.levels[level - 1].values[i];
    return below;
}

std::optional<ValueRange> JobValueRange(std::size_t index, const Requirements& below) {
    if (index == JobLevel::Friends) return ValueRange{below[0], FriendsMaximum};
    if (index <= JobLevel::LastSkill) return ValueRange{below[index], SkillMaximum};
    if (index <= 9) return std::nullopt;
    if (index <= 16) return ValueRange{-MoodLimit, MoodLimit};
    if (index == JobLevel::Salary) return ValueRange{0, std::numeric_limits<std::int32_t>::max()};
    if (index <= JobLevel::EndHour) return ValueRange{0, LastHour};
    if (index == JobLevel::CarPool) return ValueRange{0, CarPoolMaximum};
    return std::nullopt;
}

bool FallsFromBelow(const JobLevel& job, const JobLevel& below, std::size_t index) {
    if (index > JobLevel::LastSkill && index != JobLevel::Salary) return false;
    return job.values[index] < below.values[index];
}

}  // namespace tw

#include "edit/EditSession.h"

#include <algorithm>

namespace tw {

bool EditSession::SetJobLevels(std::uint32_t career, std::uint32_t firstLevel, const std::vector<JobLevel>& levels) {
    if (career >= Careers().Count() || levels.empty()) return false;
    std::vector<JobLevel>& track = context_->careerSet.careers[career].track.levels;
    if (firstLevel >= track.size() || levels.size() > track.size() - firstLevel) return false;
    const auto first = track.begin() + static_cast<std::ptrdiff_t>(firstLevel);
    if (std::equal(levels.begin(), levels.end(), first)) return false;
    return Record("Paste Levels", {career, firstLevel, std::nullopt}, {{career}}, [&](EditPlace&) {
        std::copy(levels.begin(), levels.end(), first);
        return true;
    });
}

}  // namespace tw

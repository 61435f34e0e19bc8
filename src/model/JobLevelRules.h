#pragma once

#include "model/CareerTrack.h"
#include "model/JobLevel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tw {

// A job level's friends and six skill requirements (values 0 to 6).
using Requirements = std::array<std::int32_t, 7>;

// The requirements of the level below `level` of `track`; all 0 for level 0.
Requirements RequirementsBelow(const CareerTrack& track, std::size_t level);

// The car pools that Job details' list names; a car pool's value is its place in the list.
inline constexpr std::array<const char*, 9> CarPoolNames = {
    "Default", "Military Jeep", "Squad Car", "Staff Sedan", "SUV", "Town Car", "Bentley", "Junky", "Limo"};

struct ValueRange {
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
};

// The range that value `index` of a job level must lie in when a person changes it, as the job
// details dialog checks it on OK: friends from the level below's friends to 25, the six skills
// from the level below's to 1000, the moods (10 to 16) from -100 to 100, the salary not
// negative, begin and end hour 0 to 23, car pool 0 to 8. None for the values 7 to 9, which are
// kept as they are, and for an index past the last value.
std::optional<ValueRange> JobValueRange(std::size_t index, const Requirements& below);

// Whether value `index` of `job` is less than the level below's, for the values that a promotion
// must not lower: friends, the six skills and the salary. False for every other index.
bool FallsFromBelow(const JobLevel& job, const JobLevel& below, std::size_t index);

}  // namespace tw

#pragma once

#include "model/CareerSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// The careers of the sample installation, made up for it and built in memory: tracks, their
// texts in six language slots, chance cards with their texts, and what the icons show.
struct SampleCareerData {
    // Careers in ascending id order (ids 1, 2, 3, ...), with their cards and the card texts.
    CareerSet careers;
    // Per career: two capital letters and the index of its colour and shape (0 to 9).
    std::vector<std::string> iconLetters;
    std::vector<std::uint32_t> iconStyles;
};

// The ten sample careers, repeated `copies` times (copies after the first carry a number in
// their names and have no chance cards). The same bytes for the same `copies`, every time.
SampleCareerData BuildSampleCareerData(std::uint32_t copies);

}  // namespace tw

#pragma once

#include "model/CareerTexts.h"
#include "model/CareerTrack.h"
#include "model/ChanceCard.h"

#include <array>
#include <cstdint>

namespace tw {

// One career of the game: its resource id (also the number of its icons), its track (internal
// name and job levels), its texts in every language, and the chance cards of job levels 0 to 9.
struct Career {
    static constexpr std::uint32_t CardCount = 10;

    std::uint16_t id = 0;
    CareerTrack track;
    CareerTexts texts;
    std::array<ChanceCard, CardCount> cards{};

    // The chance card of job level `level`; none from level 10 up, which have no cards.
    ChanceCard* Card(std::uint32_t level) { return level < CardCount ? &cards[level] : nullptr; }
    const ChanceCard* Card(std::uint32_t level) const { return level < CardCount ? &cards[level] : nullptr; }
    std::uint32_t LevelCount() const { return static_cast<std::uint32_t>(track.levels.size()); }
};

}  // namespace tw

#pragma once

#include "model/CardItem.h"

#include <cstdint>
#include <vector>

namespace tw {

// The chance card of one career and job level.
struct ChanceCard {
    // 1 + the row of the card's text in the card texts; 0 when the card has no text.
    std::uint16_t textRow = 0;
    std::vector<CardItem> items;

    bool operator==(const ChanceCard&) const = default;
};

}  // namespace tw

#pragma once

#include <cstdint>

namespace tw {

// One effect of a chance card.
//   kind 1 budget: parameter 0 add / 1 subtract, value amount (low 16 bits used)
//   kind 2 skill:  parameter 0 add / 1 subtract, value skill variable * 65536 + amount
//   kind 3 job:    parameter 2, value variable * 65536 + new value (0x38 career, 0x39 level)
//   kind 4 sound:  parameter 2, value sound number (312 good, 311 bad)
struct CardItem {
    std::uint32_t kind = 0;
    std::uint32_t parameter = 0;
    std::uint32_t value = 0;

    bool operator==(const CardItem&) const = default;
};

}  // namespace tw

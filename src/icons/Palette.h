#pragma once

#include <cstdint>
#include <vector>

namespace tw {

// The colours of a bitmap that came from a file with 256 colours or fewer, in table order.
struct Palette {
    struct Color {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
        bool operator==(const Color&) const = default;
    };

    std::vector<Color> colors;

    bool Empty() const { return colors.empty(); }
    bool operator==(const Palette&) const = default;
};

}  // namespace tw

#pragma once

#include "util/ByteWriter.h"

#include <cstdint>
#include <vector>

namespace tw::test {

// What a hand-built BMP file holds. The pixel bytes are given exactly as stored (rows in file
// order, padding included) so that tests control every byte.
struct BmpLayout {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t infoSize = 40;
    std::vector<std::uint32_t> masks{};  // after a 40-byte header, or inside a longer one
    std::vector<std::uint32_t> table{};  // 0x00RRGGBB, stored as blue, green, red, 0
    std::vector<std::uint8_t> pixels{};
};

inline std::vector<std::uint8_t> BmpBytes(const BmpLayout& layout) {
    ByteWriter out;
    out.PutU8('B');
    out.PutU8('M');
    out.PutU32Le(0);  // file size, patched below
    out.PutU16Le(0);
    out.PutU16Le(0);
    out.PutU32Le(0);  // pixel data offset, patched below
    out.PutU32Le(layout.infoSize);
    out.PutU32Le(static_cast<std::uint32_t>(layout.width));
    out.PutU32Le(static_cast<std::uint32_t>(layout.height));
    out.PutU16Le(1);
    out.PutU16Le(layout.bitsPerPixel);
    out.PutU32Le(layout.compression);
    out.PutU32Le(static_cast<std::uint32_t>(layout.pixels.size()));
    out.PutU32Le(2835);
    out.PutU32Le(2835);
    out.PutU32Le(layout.coloursUsed);
    out.PutU32Le(0);
    for (std::uint32_t mask : layout.masks) out.PutU32Le(mask);
    while (out.Size() < 14 + layout.infoSize) out.PutU8(0);
    for (std::uint32_t rgb : layout.table) {
        out.PutU8(static_cast<std::uint8_t>(rgb));
        out.PutU8(static_cast<std::uint8_t>(rgb >> 8));
        out.PutU8(static_cast<std::uint8_t>(rgb >> 16));
        out.PutU8(0);
    }
    out.PatchU32Le(10, static_cast<std::uint32_t>(out.Size()));
    out.PutBytes(layout.pixels);
    out.PatchU32Le(2, static_cast<std::uint32_t>(out.Size()));
    return out.Take();
}

}  // namespace tw::test

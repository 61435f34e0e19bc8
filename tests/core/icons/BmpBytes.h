#pragma once

#include "util/ByteWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <random>
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
    std::optional<std::uint32_t> imageSize{};  // the size of `pixels` unless given
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
    out.PutU32Le(layout.imageSize.value_or(static_cast<std::uint32_t>(layout.pixels.size())));
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

// A picture of colour indices, `width` × `height`, rows from the top down.
struct IndexPicture {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::vector<std::uint8_t> indices{};  // below 16 for 4 bits per pixel

    std::uint8_t At(std::int32_t x, std::int32_t y) const {
        return indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

// The picture's rows as an uncompressed file stores them: bottom row first, 4 or 8 bits a pixel
// (high nibble first), each row padded to 4 bytes.
inline std::vector<std::uint8_t> IndexRows(const IndexPicture& picture, std::uint16_t bitsPerPixel) {
    const auto rowBytes = static_cast<std::size_t>((picture.width * bitsPerPixel + 31) / 32 * 4);
    std::vector<std::uint8_t> rows;
    for (std::int32_t y = picture.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (std::int32_t x = 0; x < picture.width; ++x) {
            const auto i = static_cast<std::size_t>(x);
            if (bitsPerPixel == 8)
                row[i] = picture.At(x, y);
            else
                row[i / 2] = static_cast<std::uint8_t>(row[i / 2] | picture.At(x, y) << (i % 2 == 0 ? 4 : 0));
        }
        rows.insert(rows.end(), row.begin(), row.end());
    }
    return rows;
}

// Run-length data for the picture at 8 bits per pixel (compression 1) or 4 (compression 2),
// written from the format's rules alone. `seed` picks among the ways of writing the same picture:
// runs of every length, absolute runs (padded to an even number of bytes), zeros written out or
// skipped with deltas and early ends of line, and an end of bitmap as soon as only zeros remain,
// sometimes after a few more ends of line. Pixels that it skips are index 0.
inline std::vector<std::uint8_t> RunLengthData(const IndexPicture& picture, std::uint16_t bitsPerPixel,
                                               std::uint32_t seed) {
    std::mt19937 random(seed);
    const auto below = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    const bool nibbles = bitsPerPixel == 4;
    const std::int32_t width = picture.width;
    const std::int32_t rows = picture.height;
    // Stored rows count from the bottom.
    const auto at = [&](std::int32_t x, std::int32_t row) { return picture.At(x, rows - 1 - row); };
    std::vector<std::uint8_t> out;
    const auto put = [&out](std::initializer_list<std::uint32_t> bytes) {
        for (std::uint32_t b : bytes) out.push_back(static_cast<std::uint8_t>(b));
    };

    std::int32_t x = 0;
    std::int32_t row = 0;
    while (true) {
        // The next pixel that is not index 0, from the cursor on.
        std::int32_t nextX = x;
        std::int32_t nextRow = row;
        while (nextRow < rows) {
            if (nextX >= width) {
                nextX = 0;
                ++nextRow;
            } else if (at(nextX, nextRow) != 0) {
                break;
            } else {
                ++nextX;
            }
        }
        if (nextRow >= rows) {
            for (std::uint32_t n = below(3); n > 0 && row < rows; --n, ++row) put({0, 0});  // end of line
            put({0, 1});  // end of bitmap
            return out;
        }
        const bool atZero = nextX != x || nextRow != row;
        if (x >= width || (atZero && below(3) != 0)) {
            // Skip to the next pixel that is not 0.
            if (nextRow == row) {
                const auto right = static_cast<std::uint32_t>(std::min(nextX - x, 255));
                put({0, 2, right, 0});  // delta
                x += static_cast<std::int32_t>(right);
            } else if (nextX >= x && nextX - x <= 255 && nextRow - row <= 255 && below(2) == 0) {
                put({0, 2, static_cast<std::uint32_t>(nextX - x), static_cast<std::uint32_t>(nextRow - row)});
                x = nextX;
                row = nextRow;
            } else {
                put({0, 0});  // end of line
                x = 0;
                ++row;
            }
            continue;
        }

        const std::int32_t left = width - x;
        if (left >= 3 && below(2) == 0) {
            // Absolute run.
            const auto count = static_cast<std::int32_t>(3 + below(static_cast<std::uint32_t>(std::min(left, 255) - 2)));
            put({0, static_cast<std::uint32_t>(count)});
            std::vector<std::uint8_t> run;
            for (std::int32_t i = 0; i < count; ++i) {
                const std::uint8_t index = at(x + i, row);
                if (!nibbles)
                    run.push_back(index);
                else if (i % 2 == 0)
                    run.push_back(static_cast<std::uint8_t>(index << 4));
                else
                    run.back() = static_cast<std::uint8_t>(run.back() | index);
            }
            if (run.size() % 2 != 0) run.push_back(0);
            out.insert(out.end(), run.begin(), run.end());
            x += count;
            continue;
        }
        // A run: of one index with 8 bits; of two alternating ones with 4.
        const std::uint8_t first = at(x, row);
        const std::uint8_t second = nibbles && x + 1 < width ? at(x + 1, row) : first;
        std::int32_t length = 1;
        while (length < std::min(left, 255) && at(x + length, row) == (length % 2 == 0 ? first : second)) ++length;
        const auto count = static_cast<std::int32_t>(1 + below(static_cast<std::uint32_t>(length)));
        put({static_cast<std::uint32_t>(count), nibbles ? static_cast<std::uint32_t>(first << 4 | second) : first});
        x += count;
    }
}

}  // namespace tw::test

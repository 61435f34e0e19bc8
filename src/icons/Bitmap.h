#pragma once

#include "icons/Palette.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw {

// A bitmap in memory: one 0x00RRGGBB value per pixel, rows from the top down, whatever order
// or depth the file that it came from used. `palette` holds the file's colour table when it
// had one of 256 colours or fewer, and is empty otherwise.
struct Bitmap {
    // The largest bitmap we make or read: far above any icon strip, far below what would
    // exhaust memory.
    static constexpr std::uint64_t MaxPixels = 64ull * 1024 * 1024;

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
    Palette palette;

    Bitmap() = default;
    // A black bitmap of the given size; the size must be well formed (see IsWellFormed).
    Bitmap(std::int32_t w, std::int32_t h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0) {}

    // Positive sizes within MaxPixels, and exactly one value per pixel.
    bool IsWellFormed() const {
        if (width <= 0 || height <= 0) return false;
        const std::uint64_t count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
        return count <= MaxPixels && pixels.size() == count;
    }

    // Pixel access for coordinates inside the bitmap.
    std::uint32_t Pixel(std::int32_t x, std::int32_t y) const { return pixels[Index(x, y)]; }
    void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t rgb) { pixels[Index(x, y)] = rgb; }

    bool operator==(const Bitmap&) const = default;
    // The same picture: size and pixels, whatever palette each was read with.
    bool SamePixels(const Bitmap& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }

private:
    std::size_t Index(std::int32_t x, std::int32_t y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
    }
};

}  // namespace tw

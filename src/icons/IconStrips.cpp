#include "icons/IconStrips.h"

#include <algorithm>
#include <cstddef>

namespace tw {

bool IconStrips::LoadStrip(Stream& stream, Strip& strip) {
    Strip loaded;
    Palette palette;
    if (!LoadBitmapFile(stream, loaded.bitmap, palette, 0, 0, &loaded.headers)) return false;
    strip = std::move(loaded);
    return true;
}

std::uint32_t IconStrips::IconCount(const Strip& strip, std::int32_t iconHeight) {
    // The decoded height, which is positive also for a strip stored top-down.
    if (!strip.bitmap.IsWellFormed()) return 0;
    return static_cast<std::uint32_t>(strip.bitmap.height / iconHeight);
}

bool IconStrips::CutIcon(const Strip& strip, std::int32_t iconHeight, std::uint32_t number, Bitmap& out) {
    if (number >= IconCount(strip, iconHeight)) return false;
    const auto width = static_cast<std::size_t>(strip.bitmap.width);
    const std::size_t count = width * static_cast<std::size_t>(iconHeight);
    const auto first = strip.bitmap.pixels.begin() + static_cast<std::ptrdiff_t>(number * count);
    Bitmap icon;
    icon.width = strip.bitmap.width;
    icon.height = iconHeight;
    icon.pixels.assign(first, first + static_cast<std::ptrdiff_t>(count));
    icon.palette = strip.bitmap.palette;
    out = std::move(icon);
    return true;
}

bool IconStrips::PutIcon(Strip& strip, std::int32_t iconHeight, std::uint32_t number, const Bitmap& icon) {
    if (number >= IconCount(strip, iconHeight)) return false;
    // A smaller icon would leave part of the old one behind, or be read past its end.
    if (!icon.IsWellFormed() || icon.width < strip.bitmap.width || icon.height < iconHeight) return false;
    const auto width = static_cast<std::size_t>(strip.bitmap.width);
    const auto iconWidth = static_cast<std::size_t>(icon.width);
    const std::size_t firstRow = static_cast<std::size_t>(number) * static_cast<std::size_t>(iconHeight);
    for (std::size_t y = 0; y < static_cast<std::size_t>(iconHeight); ++y) {
        const auto from = icon.pixels.begin() + static_cast<std::ptrdiff_t>(y * iconWidth);
        const auto to = strip.bitmap.pixels.begin() + static_cast<std::ptrdiff_t>((firstRow + y) * width);
        std::copy(from, from + static_cast<std::ptrdiff_t>(width), to);
    }
    return true;
}

}  // namespace tw

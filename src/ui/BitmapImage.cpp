#include "ui/BitmapImage.h"

#include <cstdint>

#include "icons/Bitmap.h"

namespace tw {

QImage ToQImage(const Bitmap& bitmap) {
    if (!bitmap.IsWellFormed()) return {};
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (std::int32_t y = 0; y < bitmap.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        // Format_RGB32 wants 0xFFRRGGBB; the bitmap's top byte is unused.
        for (std::int32_t x = 0; x < bitmap.width; ++x) line[x] = 0xFF000000u | (bitmap.Pixel(x, y) & 0x00FFFFFFu);
    }
    return image;
}

}  // namespace tw

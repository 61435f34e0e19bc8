#pragma once

#include <QImage>

namespace tw {

struct Bitmap;

// The bitmap as an opaque 32-bit image with exactly its colours, for showing an icon or a strip.
// A null image for a bitmap that is not well formed (or too large for an image).
QImage ToQImage(const Bitmap& bitmap);

}  // namespace tw

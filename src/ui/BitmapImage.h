#pragma once

#include <QImage>

namespace tw {

struct Bitmap;

// A bitmap of the icon strips as an image to show; a null image for a bitmap that is not well
// formed.
QImage ImageOfBitmap(const Bitmap& bitmap);

}  // namespace tw

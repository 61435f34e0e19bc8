#pragma once

#include <QIcon>
#include <QImage>

namespace tw {

// The images that the editor carries with it, drawn by the program itself.

// The window and About box icon: a dark blue tile with a white career ladder, at 16, 32 and 48
// pixels.
QIcon ApplicationIcon();
// The image of a given size that ApplicationIcon() is made of.
QImage ApplicationIconImage(int size);

// Shown in the main window's icon preview when no career is selected or a career's popup icon
// cannot be cut out: 63 by 63 pixels of dark blue (red 0, green 0, blue 128).
const QImage& popupPlaceholder();

}  // namespace tw

#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace tw {

// Converts the dialog units in which every window's layout is given into pixels, the way the
// game's platform does: one horizontal unit is a quarter of the font's average character width,
// one vertical unit an eighth of its character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }

    // The dialogs' font: 8-point sans serif.
    static QFont DialogFont();

private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace tw

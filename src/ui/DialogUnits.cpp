#include "ui/DialogUnits.h"

#include <QFontMetrics>

namespace tw {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The platform averages the widths of the 52 Latin letters, rounding to nearest.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseWidth_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    baseHeight_ = metrics.height();
    if (baseWidth_ < 1) baseWidth_ = 1;
    if (baseHeight_ < 1) baseHeight_ = 1;
}

// The platform's MulDiv rounds to nearest.
static int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>(product >= 0 ? (product + denominator / 2) / denominator
                                         : -((-product + denominator / 2) / denominator));
}

int DialogUnits::X(int units) const { return MulDiv(units, baseWidth_, 4); }
int DialogUnits::Y(int units) const { return MulDiv(units, baseHeight_, 8); }
QRect DialogUnits::Rect(int x, int y, int width, int height) const { return {X(x), Y(y), X(width), Y(height)}; }
QSize DialogUnits::Size(int width, int height) const { return {X(width), Y(height)}; }

QFont DialogUnits::DialogFont() {
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace tw

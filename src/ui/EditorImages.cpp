#include "ui/EditorImages.h"

#include <cmath>
#include <numbers>

#include <QPainter>
#include <QPainterPath>

namespace tw {

QImage ApplicationIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // A rounded tile in the placeholder's dark blue with a lighter rim.
    painter.setPen(QPen(QColor(90, 120, 220), 1.5));
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);

    // A career ladder: two rails and rungs that climb to the right, with a star at the top.
    painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8, 27), QPointF(14, 7));
    painter.drawLine(QPointF(16, 27), QPointF(22, 7));
    for (int rung = 0; rung < 4; ++rung) {
        const double y = 23.5 - rung * 4.8;
        const double shift = (27 - y) * 0.3;
        painter.drawLine(QPointF(8 + shift, y), QPointF(16 + shift, y));
    }
    QPainterPath star;
    const QPointF centre(25, 8);
    for (int point = 0; point < 10; ++point) {
        const double radius = point % 2 == 0 ? 4.2 : 1.8;
        const double angle = -std::numbers::pi / 2 + point * std::numbers::pi / 5;
        const QPointF p(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        if (point == 0)
            star.moveTo(p);
        else
            star.lineTo(p);
    }
    star.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 210, 60));
    painter.drawPath(star);
    painter.end();
    return image;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) icon.addPixmap(QPixmap::fromImage(ApplicationIconImage(size)));
    return icon;
}

const QImage& popupPlaceholder() {
    static const QImage image = [] {
        QImage filled(63, 63, QImage::Format_RGB32);
        filled.fill(QColor(0, 0, 128));
        return filled;
    }();
    return image;
}

}  // namespace tw

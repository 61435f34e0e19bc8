#include "ui/Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace tw {

QString SaveScreenshot(QWidget& widget, const QString& folder, const QString& name) {
    if (!QDir().mkpath(folder)) return {};
    widget.ensurePolished();
    const QPixmap image = widget.grab();
    if (image.isNull()) return {};
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    return image.save(path, "PNG") ? path : QString();
}

}  // namespace tw

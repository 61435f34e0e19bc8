#pragma once

#include <QString>

class QWidget;

namespace tw {

// Renders a widget as it would appear (without the window frame) into folder/name.png,
// creating the folder if needed. Works without showing the widget and on the offscreen
// platform. Returns the file's path, or an empty text when it could not be written.
QString SaveScreenshot(QWidget& widget, const QString& folder, const QString& name);

}  // namespace tw

#pragma once

#include <QByteArray>

class QWidget;

namespace tw {

// The About item that Windows windows of this program carry in their system menu (the menu of
// the title bar's icon). Other platforms give a window no such menu of the program's own; there
// these do nothing, and Help > About serves.

// Adds the item to `window`'s system menu.
void AddAboutToSystemMenu(QWidget& window);
// Whether a native event is the choice of that item.
bool IsAboutFromSystemMenu(const QByteArray& eventType, const void* message);

}  // namespace tw

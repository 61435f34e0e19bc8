#include "ui/SideWindows.h"

#include <QAction>
#include <QWidget>

namespace tw {

void ShareWindowKeys(QWidget* parent, QWidget& window) {
    if (parent == nullptr) return;
    for (QAction* action : parent->window()->findChildren<QAction*>())
        if (!action->shortcuts().isEmpty()) window.addAction(action);
}

void ShowInFront(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace tw

#pragma once

class QWidget;

namespace tw {

// The editor's keys (undo, redo, save, ...) work wherever the focus is: in a window of its own
// beside the main window, the main window's actions, which its menus keep up to date, answer them
// too. Does nothing without a parent.
void ShareWindowKeys(QWidget* parent, QWidget& window);

}  // namespace tw

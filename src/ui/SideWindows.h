#pragma once

class QWidget;

namespace tw {

// The windows that stand beside the main window (Review Changes, Check Game, the level table,
// the translations).

// The editor's keys (undo, redo, save, ...) work wherever the focus is: in such a window, the
// main window's actions, which its menus keep up to date, answer them too. Does nothing without
// a parent.
void ShareWindowKeys(QWidget* parent, QWidget& window);

// Shows the window in front of the others, with the focus.
void ShowInFront(QWidget& window);

}  // namespace tw

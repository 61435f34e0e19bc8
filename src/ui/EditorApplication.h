#pragma once

#include <QApplication>

namespace tw {

class UserPort;

// The editor's application object. Qt cannot carry an exception out of an event handler: one
// that escapes a command (a system call that failed where nothing expected it, memory a damaged
// file asked for) would end the program and lose every unsaved edit. Here it becomes a message,
// and the session goes on.
class EditorApplication final : public QApplication {
public:
    EditorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // Where such failures are told; until it is set they go to standard error.
    void SetPort(UserPort* port) { port_ = port; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    UserPort* port_ = nullptr;
};

}  // namespace tw

#pragma once

#include <deque>
#include <functional>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace tw::test {

// Plays the person in front of modal windows: each queued step runs on the next modal window
// of its type that comes up (a message box, a file dialog, ...), while the code under test
// waits in that window's event loop.
class ModalDriver {
public:
    ModalDriver() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    template <class Window>
    ModalDriver& Then(std::function<void(Window*)> step) {
        steps_.push_back([step](QWidget* modal) {
            auto* window = qobject_cast<Window*>(modal);
            if (window) step(window);
            return window != nullptr;
        });
        return *this;
    }

    bool Finished() const { return steps_.empty(); }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (steps_.empty() || !modal || modal == handled_ || !modal->isVisible()) return;
        if (steps_.front()(modal)) {
            handled_ = modal;
            steps_.pop_front();
        }
    }

    QTimer timer_;
    QPointer<QWidget> handled_;
    std::deque<std::function<bool(QWidget*)>> steps_;
};

}  // namespace tw::test

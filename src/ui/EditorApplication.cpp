#include "ui/EditorApplication.h"

#include "util/UserPort.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace tw {

bool EditorApplication::notify(QObject* receiver, QEvent* event) {
    std::string failure;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        failure = "There was not enough memory to finish this; nothing was saved by it.";
    } catch (const std::exception& e) {
        failure = std::string("This could not be finished: ") + e.what();
    }
    if (port_ != nullptr)
        port_->Tell(failure, "Error", MessageIcon::Error);
    else
        std::fprintf(stderr, "trackwright: %s\n", failure.c_str());
    return false;
}

}  // namespace tw

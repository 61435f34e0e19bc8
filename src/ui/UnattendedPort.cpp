#include "ui/UnattendedPort.h"

#include <cstdio>

namespace tw {

Answer UnattendedPort::Ask(const Message& message) {
    const std::string& title = message.title.empty() ? applicationName_ : message.title;
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.text.c_str());
    if (!message.detail.empty()) std::fprintf(stderr, "%s\n", message.detail.c_str());
    switch (message.buttons) {
        case MessageButtons::Ok:
            return Answer::Ok;
        case MessageButtons::YesNo:
            return Answer::No;
        case MessageButtons::YesNoCancel:
        case MessageButtons::OkCancel:
            return Answer::Cancel;
    }
    return Answer::Cancel;
}

}  // namespace tw

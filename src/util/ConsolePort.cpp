#include "util/ConsolePort.h"

namespace tw {

std::string ConsolePort::OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

Answer ConsolePort::Ask(const Message& message) {
    const std::string& title = message.title.empty() ? applicationName_ : message.title;
    std::fprintf(errors_, "%s: %s\n", title.c_str(), OneLine(message.text).c_str());
    if (!message.detail.empty())
        std::fprintf(errors_, "%s: %s\n", applicationName_.c_str(), OneLine(message.detail).c_str());
    std::fflush(errors_);
    switch (message.buttons) {
        case MessageButtons::Ok:
            return Answer::Ok;
        case MessageButtons::YesNo:
            return questionAnswer.value_or(Answer::No);
        case MessageButtons::YesNoCancel:
            return questionAnswer.value_or(Answer::Cancel);
        case MessageButtons::OkCancel:
            return questionAnswer == Answer::Yes || questionAnswer == Answer::Ok ? Answer::Ok : Answer::Cancel;
    }
    return Answer::Cancel;
}

}  // namespace tw

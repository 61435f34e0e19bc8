#include "cli/CliPort.h"

namespace tw::cli {

std::string CliPort::Line(const Message& message) {
    std::string line = message.title + ": ";
    for (char c : message.text) {
        if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

Answer CliPort::Ask(const Message& message) {
    std::fprintf(errors_, "%s\n", Line(message).c_str());
    std::fflush(errors_);
    if (message.buttons == MessageButtons::Ok) return Answer::Ok;
    if (message.buttons == MessageButtons::OkCancel) return questionAnswer == Answer::Yes ? Answer::Ok : Answer::Cancel;
    return questionAnswer;
}

}  // namespace tw::cli

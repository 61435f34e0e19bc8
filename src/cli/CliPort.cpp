#include "cli/CliPort.h"

namespace tw::cli {

std::string CliPort::OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

std::string CliPort::Line(const Message& message) { return message.title + ": " + OneLine(message.text); }

Answer CliPort::Ask(const Message& message) {
    std::fprintf(errors_, "%s\n", Line(message).c_str());
    if (!message.detail.empty()) std::fprintf(errors_, "trackwright-cli: %s\n", OneLine(message.detail).c_str());
    std::fflush(errors_);
    if (message.buttons == MessageButtons::Ok) return Answer::Ok;
    if (message.buttons == MessageButtons::OkCancel) return questionAnswer == Answer::Yes ? Answer::Ok : Answer::Cancel;
    return questionAnswer;
}

}  // namespace tw::cli

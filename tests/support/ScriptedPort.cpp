#include "support/ScriptedPort.h"

#include <gtest/gtest.h>

namespace tw::test {

Answer ScriptedPort::Ask(const Message& message) {
    const bool question = message.buttons != MessageButtons::Ok;
    calls.push_back({question ? "question" : "message", message, {}});
    if (!question) return Answer::Ok;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << message.title << ": " << message.text;
        return Answer::Cancel;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

static std::optional<std::filesystem::path> TakeFile(std::deque<std::optional<std::filesystem::path>>& queue,
                                                     const char* what) {
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return std::nullopt;
    }
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}

std::optional<std::filesystem::path> ScriptedPort::ChooseOpenFile(const FileChoice& choice) {
    calls.push_back({"open", {}, choice});
    return TakeFile(files, "open-file choice");
}

std::optional<std::filesystem::path> ScriptedPort::ChooseSaveFile(const FileChoice& choice) {
    calls.push_back({"save", {}, choice});
    return TakeFile(files, "save-file choice");
}

std::optional<std::uint32_t> ScriptedPort::ChooseCareerToReplace(const CareerSet&,
                                                                 std::optional<std::uint32_t> selected) {
    calls.push_back({"career", {}, {}, selected});
    if (careers.empty()) {
        ADD_FAILURE() << "unexpected choice of a career to replace";
        return std::nullopt;
    }
    auto answer = careers.front();
    careers.pop_front();
    return answer;
}

std::optional<std::filesystem::path> ScriptedPort::ChooseFolder(const std::string& title) {
    calls.push_back({"folder", Message{"", title}, {}});
    return TakeFile(folders, "folder choice");
}

std::vector<std::string> ScriptedPort::Shown() const {
    std::vector<std::string> shown;
    for (const auto& call : calls)
        if (call.kind == "message" || call.kind == "question") shown.push_back(call.message.title + ": " + call.message.text);
    return shown;
}

}  // namespace tw::test

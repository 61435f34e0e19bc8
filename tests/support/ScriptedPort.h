#pragma once

#include "util/UserPort.h"

#include <deque>
#include <string>
#include <vector>

namespace tw::test {

// A user port that answers from queues and records every call. A call that finds its queue
// empty fails the running test (plain messages need no answer: they get Ok).
class ScriptedPort : public UserPort {
public:
    struct Call {
        std::string kind;  // "message", "question", "open", "save", "career", "folder"
        Message message;   // for messages and questions
        FileChoice choice; // for file choices
        std::optional<std::uint32_t> selected = {};  // for the choice of a career
    };

    // Queued answers, taken in order.
    std::deque<Answer> answers;
    std::deque<std::optional<std::filesystem::path>> files;
    std::deque<std::optional<std::uint32_t>> careers;
    std::deque<std::optional<std::filesystem::path>> folders;

    std::vector<Call> calls;
    std::vector<std::string> statuses;
    std::string applicationName = "trackwright";

    Answer Ask(const Message& message) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const FileChoice& choice) override;
    std::string ApplicationName() const override { return applicationName; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet& careers,
                                                       std::optional<std::uint32_t> selected) override;
    std::optional<std::filesystem::path> ChooseFolder(const std::string& title) override;
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }

    // The messages and questions shown, in order, as "Title: text".
    std::vector<std::string> Shown() const;
};

}  // namespace tw::test

#pragma once

#include "util/UserPort.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace tw {

// The user port of a run without a window: the command-line tool, and the editor's unattended
// --screenshot run. Every message box becomes one line "Title: text" on the stream (line breaks
// inside the text written as \n; a message without a title takes the program's name), and its
// details a second line "program: detail". A question takes `questionAnswer` when one is set,
// and otherwise the answer that changes nothing (No, or Cancel where there is one); file and
// career choices take what was set; a folder is never chosen. So such a run never waits for a
// person.
class ConsolePort final : public UserPort {
public:
    explicit ConsolePort(std::string applicationName, std::FILE* errors = stderr)
        : applicationName_(std::move(applicationName)), errors_(errors) {}

    std::optional<Answer> questionAnswer;
    std::optional<std::filesystem::path> file;
    std::optional<std::uint32_t> career;

    Answer Ask(const Message& message) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const FileChoice&) override { return file; }
    std::optional<std::filesystem::path> ChooseSaveFile(const FileChoice&) override { return file; }
    std::string ApplicationName() const override { return applicationName_; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet&, std::optional<std::uint32_t>) override {
        return career;
    }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}

    // `text` with its line breaks written as \n.
    static std::string OneLine(const std::string& text);

private:
    std::string applicationName_;
    std::FILE* errors_;
};

}  // namespace tw

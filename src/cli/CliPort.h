#pragma once

#include "util/UserPort.h"

#include <cstdio>
#include <optional>
#include <string>

namespace tw::cli {

// The user port of the command-line tool: every message box becomes one line "Title: text" on
// standard error (line breaks inside the text written as \n); questions and choices are answered
// from what the command line gave.
class CliPort final : public UserPort {
public:
    explicit CliPort(std::string applicationName, std::FILE* errors = stderr)
        : applicationName_(std::move(applicationName)), errors_(errors) {}

    Answer questionAnswer = Answer::No;
    std::optional<std::filesystem::path> file;
    std::optional<std::uint32_t> career;

    Answer Ask(const Message& message) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const FileChoice&) override { return file; }
    std::optional<std::filesystem::path> ChooseSaveFile(const FileChoice&) override { return file; }
    std::string ApplicationName() const override { return applicationName_; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet&) override { return career; }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}

    // The line written for a message ("Title: text"); its details, when it has any, follow on a
    // second line "trackwright-cli: detail".
    static std::string Line(const Message& message);
    // `text` with its line breaks written as \n.
    static std::string OneLine(const std::string& text);

private:
    std::string applicationName_;
    std::FILE* errors_;
};

}  // namespace tw::cli

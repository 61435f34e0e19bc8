#pragma once

#include <string>

#include "util/UserPort.h"

namespace tw {

// The user port of a run that nobody watches (the editor's --screenshot mode): every message
// goes to standard error, every question gets the answer that changes nothing (No, or Cancel
// where there is one), and every choice is cancelled. So such a run can never wait for a person
// and never writes a game file.
class UnattendedPort : public UserPort {
public:
    explicit UnattendedPort(std::string applicationName) : applicationName_(std::move(applicationName)) {}

    Answer Ask(const Message& message) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const FileChoice&) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseSaveFile(const FileChoice&) override { return std::nullopt; }
    std::string ApplicationName() const override { return applicationName_; }
    std::optional<std::uint32_t> ChooseCareerToReplace(const CareerSet&) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseFolder(const std::string&) override { return std::nullopt; }
    void ShowStatus(const std::string&) override {}

private:
    std::string applicationName_;
};

}  // namespace tw

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw::cli {

// The usage of the whole tool: every command on one line each.
std::string Usage();

// Whether `command` ("resave", or a command with its form: "texts import") saves the game files,
// and so takes --accept-loss.
bool SavesTheGame(std::string_view command);

// The usage of one command with what it does in full; none for a command the tool lacks.
std::optional<std::string> CommandUsage(const std::string& command);

}  // namespace tw::cli

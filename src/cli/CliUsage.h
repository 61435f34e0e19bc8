#pragma once

#include <optional>
#include <string>

namespace tw::cli {

// The usage of the whole tool: every command on one line each.
std::string Usage();

// The usage of one command with what it does in full; none for a command the tool lacks.
std::optional<std::string> CommandUsage(const std::string& command);

}  // namespace tw::cli

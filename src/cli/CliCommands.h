#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tw {
class FileSystem;
}

namespace tw::cli {

// Exit statuses of the command-line tool.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// Runs `trackwright-cli` with its arguments (without the program name). Game folders are byte
// strings as the rest of the program keeps them; `applicationName` is the program's base name.
// Results go to `out`, messages to `err`. Every change of the game goes through `files` (null for
// the machine's own file system). Whatever fails ends in a message and ExitFailure, never in an
// abort.
int RunCli(const std::vector<std::string>& args, const std::string& applicationName, std::FILE* out, std::FILE* err,
           FileSystem* files = nullptr);

}  // namespace tw::cli

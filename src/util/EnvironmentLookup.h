#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tw {

// Reads one environment variable: its value, or nullopt when it is not set. Everything that
// looks at the environment (HOME, XDG_CONFIG_HOME, APPDATA, WINEPREFIX, SIMS_DATA ...) takes one
// of these, so that a test can hand in a made-up environment pointing at temporary folders.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The folder named by the variable `name`, when it is set to an absolute path; empty otherwise (a
// relative setting would depend on the working folder and is not used).
std::filesystem::path AbsoluteFolderFromEnvironment(const EnvironmentLookup& environment, const char* name);

// The environment of this process. On Windows the values are in the system's ANSI code page,
// the same bytes that the game's registry texts are read as.
EnvironmentLookup ProcessEnvironment();

}  // namespace tw

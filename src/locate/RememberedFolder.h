#pragma once

#include "util/Error.h"

#include <filesystem>
#include <optional>
#include <string>

#include "util/EnvironmentLookup.h"

namespace tw {

// The game folder that the person chose earlier, kept in one small text file that the editor and
// the command-line tool share: $XDG_CONFIG_HOME/trackwright/game-folder (XDG_CONFIG_HOME
// defaulting to ~/.config) elsewhere, %APPDATA%\Trackwright\game-folder on Windows. The file
// holds the folder's text and a line break.
class RememberedFolder {
public:
    explicit RememberedFolder(EnvironmentLookup environment = ProcessEnvironment());

    // Where the file is; nullopt when the environment names no home or configuration folder.
    std::optional<std::filesystem::path> File() const { return SettingsFile("game-folder"); }
    // Another of the editor's small files in the same folder ("recent-games"), where it is, and
    // read or written whole (creating the folder).
    std::optional<std::filesystem::path> SettingsFile(const char* name) const;
    Expected<std::string> ReadSettingsFile(const char* name) const;
    Status WriteSettingsFile(const char* name, const std::string& text) const;

    // The folder remembered; fails, saying why, when there is none: no file, an empty or
    // unreadable one, or a first line that is not a plausible folder text.
    Expected<std::string> Recall() const;

    // Remembers `folder`, creating the file's folders and replacing the file whole. A folder text
    // that cannot be kept on one line (empty, or holding a line break or a zero byte) is refused.
    Status Remember(const std::string& folder) const;

private:
    EnvironmentLookup environment_;
};

}  // namespace tw

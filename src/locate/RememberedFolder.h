#pragma once

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
    std::optional<std::filesystem::path> File() const;

    // The folder remembered, or nullopt (with the reason in `why`) when there is none: no file,
    // an empty or unreadable one, or a first line that is not a plausible folder text.
    std::optional<std::string> Recall(std::string* why = nullptr) const;

    // Remembers `folder`, creating the file's folders and replacing the file whole. A folder text
    // that cannot be kept on one line (empty, or holding a line break or a zero byte) is refused.
    // False with the reason in `error`.
    bool Remember(const std::string& folder, std::string* error = nullptr) const;

private:
    EnvironmentLookup environment_;
};

}  // namespace tw

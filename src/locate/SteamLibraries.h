#pragma once

#include "util/Error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The library folders that Steam's steamapps/libraryfolders.vdf lists, in file order. Both
// forms Steam has written are read: numbered blocks with a "path" ("0" { "path" "..." }) and
// the older numbered plain values ("1" "D:\\Games\\Steam"); other entries are ignored.
// Malformed text, or a text without a "libraryfolders" block, fails saying why.
Expected<std::vector<std::string>> ParseSteamLibraryFolders(std::string_view vdfText);

// The libraries of the Steam installation in `steamFolder`: the folder itself (always a
// library) followed by those its libraryfolders.vdf lists. When the list cannot be read the
// libraries are the folder alone and `listPassedOver` says why.
struct SteamLibrariesFound {
    std::vector<std::filesystem::path> libraries;
    std::optional<Error> listPassedOver;
};
SteamLibrariesFound SteamLibraries(const std::filesystem::path& steamFolder);

}  // namespace tw

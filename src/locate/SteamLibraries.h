#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The library folders that Steam's steamapps/libraryfolders.vdf lists, in file order. Both
// forms Steam has written are read: numbered blocks with a "path" ("0" { "path" "..." }) and
// the older numbered plain values ("1" "D:\\Games\\Steam"); other entries are ignored.
// Malformed text, or a text without a "libraryfolders" block: false and the reason in `error`.
bool ParseSteamLibraryFolders(std::string_view vdfText, std::vector<std::string>& paths,
                              std::string* error = nullptr);

// The libraries of the Steam installation in `steamFolder`: the folder itself (always a
// library) followed by those its libraryfolders.vdf lists. When the list cannot be read the
// result is the folder alone and `error` says why the list was passed over.
std::vector<std::filesystem::path> SteamLibraries(const std::filesystem::path& steamFolder,
                                                  std::string* error = nullptr);

}  // namespace tw

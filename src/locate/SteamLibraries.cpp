#include "locate/SteamLibraries.h"

#include "locate/KeyValues.h"
#include "util/HostPath.h"
#include "util/ReadWholeFile.h"

namespace tw {
namespace {

// A library list is a few kilobytes; anything far larger is not one.
constexpr std::size_t MaxLibraryListBytes = 4 * 1024 * 1024;

bool IsNumber(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Steam writes its paths in UTF-8 on every platform, on Windows with either separator.
std::filesystem::path PathFromUtf8(const std::string& text) {
    std::filesystem::path path(std::u8string(text.begin(), text.end()));
    path.make_preferred();
    return path;
}

}  // namespace

Expected<std::vector<std::string>> ParseSteamLibraryFolders(std::string_view vdfText) {
    std::vector<std::string> paths;
    Expected<KeyValues> root = KeyValues::Parse(vdfText);
    if (!root) return std::move(root).Err();
    const KeyValues* folders = root->Find("libraryfolders");
    if (folders == nullptr || !folders->isBlock) return Failure("no \"libraryfolders\" block", ErrorKind::Damaged);
    for (const KeyValues& entry : folders->children) {
        if (!IsNumber(entry.key)) continue;
        const std::string* path = &entry.value;
        if (entry.isBlock) {
            const KeyValues* inner = entry.Find("path");
            if (inner == nullptr || inner->isBlock) continue;
            path = &inner->value;
        }
        if (!path->empty()) paths.push_back(*path);
    }
    return paths;
}

SteamLibrariesFound SteamLibraries(const std::filesystem::path& steamFolder) {
    SteamLibrariesFound list{{steamFolder}, std::nullopt};
    const std::filesystem::path listFile = HostPath(steamFolder, "steamapps\\libraryfolders.vdf");
    Expected<std::string> text = ReadWholeFile(listFile, MaxLibraryListBytes);
    Expected<std::vector<std::string>> listed = text ? ParseSteamLibraryFolders(*text) : std::move(text).Err();
    if (!listed) {
        list.listPassedOver = std::move(listed).Err().Context(PathText(listFile));
        return list;
    }
    for (const std::string& path : *listed) list.libraries.push_back(PathFromUtf8(path));
    return list;
}

}  // namespace tw

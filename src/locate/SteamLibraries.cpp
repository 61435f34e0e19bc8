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

bool ParseSteamLibraryFolders(std::string_view vdfText, std::vector<std::string>& paths, std::string* error) {
    paths.clear();
    KeyValues root;
    if (!KeyValues::Parse(vdfText, root, error)) return false;
    const KeyValues* folders = root.Find("libraryfolders");
    if (folders == nullptr || !folders->isBlock) {
        if (error != nullptr) *error = "no \"libraryfolders\" block";
        return false;
    }
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
    return true;
}

std::vector<std::filesystem::path> SteamLibraries(const std::filesystem::path& steamFolder, std::string* error) {
    std::vector<std::filesystem::path> libraries{steamFolder};
    const std::filesystem::path listFile = HostPath(steamFolder, "steamapps\\libraryfolders.vdf");
    std::string text;
    std::string why;
    std::vector<std::string> listed;
    if (!ReadWholeFile(listFile, MaxLibraryListBytes, text, &why) || !ParseSteamLibraryFolders(text, listed, &why)) {
        if (error != nullptr) *error = PathText(listFile) + ": " + why;
        return libraries;
    }
    for (const std::string& path : listed) libraries.push_back(PathFromUtf8(path));
    if (error != nullptr) error->clear();
    return libraries;
}

}  // namespace tw

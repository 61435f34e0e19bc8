#pragma once

#include "util/EnvironmentLookup.h"
#include "util/FileSystem.h"
#include "util/Status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The player's original game files, kept once outside the game folder before Trackwright first
// changes them, so that they can be given back. One folder per installation, named like its
// state folder (InstallationId); in it the kept copies below "files/", by their paths relative
// to the game folder, and a small manifest:
//
//   {"keptOriginals": 1, "gameFolder": "<the game folder, UTF-8>",
//    "files": [{"path": "ExpansionShared/Work.iff", "absent": true,
//               "keptAt": "2026-12-09T05:00:00Z", "lastWritten": "<sha256>"},
//              {"path": "GameData/Objects/CarPortal.iff", "size": 1234, "sha256": "<sha256>",
//               "keptAt": "...", "lastWritten": "<sha256>"}]}
//
// "absent" marks a file that did not exist before Trackwright created it (taken out of an
// archive); "lastWritten" is the digest of what Trackwright last put there, empty when it last
// removed the file.
struct KeptOriginal {
    std::string path;  // relative to the game folder, '/' between the parts
    bool absent = false;
    std::uint64_t size = 0;
    std::string sha256;
    std::string keptAt;
    std::string lastWritten;
};

struct KeptOriginalsManifest {
    std::string gameFolder;
    std::vector<KeptOriginal> files;  // sorted by path

    const KeptOriginal* Find(std::string_view path) const;
    KeptOriginal* Find(std::string_view path);
    // Adds `file` in path order (a path already there is left as it was: originals are kept once).
    void Add(KeptOriginal file);
};

std::string EncodeKeptOriginals(const KeptOriginalsManifest& manifest);
// Fails, with what is wrong, for anything but a manifest as EncodeKeptOriginals writes it: other
// JSON, missing or mistyped fields, digests that are not 64 hexadecimal digits, paths that could
// lead outside the game folder, a path listed twice.
Status ParseKeptOriginals(std::string_view text, KeptOriginalsManifest& manifest);

// Where the kept originals of one installation live.
class KeptOriginalsFolder {
public:
    // `files` reads the manifest; the installation's own file layer, so that a test can make the
    // read fail.
    explicit KeptOriginalsFolder(std::filesystem::path folder, FileSystem& files = HostFileSystem())
        : folder_(std::move(folder)), files_(&files) {}

    const std::filesystem::path& Folder() const { return folder_; }
    static constexpr std::string_view ManifestName = "manifest.json";
    std::filesystem::path Manifest() const { return folder_ / ManifestName; }
    // Where the kept copy of the game file at `relative` ('/' between the parts) is.
    std::filesystem::path KeptCopy(std::string_view relative) const;

    // Reads the manifest; an installation with nothing kept yet (no manifest) reads as empty.
    // Fails with a message naming the manifest when it cannot be read or is damaged.
    Status Read(KeptOriginalsManifest& manifest) const;

private:
    std::filesystem::path folder_;
    FileSystem* files_;
};

// The folder of all installations' kept originals: $XDG_DATA_HOME/trackwright/originals (default
// ~/.local/share/trackwright/originals), %LOCALAPPDATA%\Trackwright\originals on Windows. Empty
// when the environment names no such place.
std::filesystem::path DefaultOriginalsRoot(const EnvironmentLookup& environment);

// The time now as UTC in ISO 8601 ("2026-12-09T05:00:00Z").
std::string UtcTimestamp();

}  // namespace tw

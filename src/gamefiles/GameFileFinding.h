#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Says whether a FAR archive in `folder` (a host folder such as <game>/ExpansionShared) holds an
// entry named `name` ("Work.iff", "cpanel\Buttons\JobIconMultiButton.BMP"). The load's own
// archive search can be handed in here so that the locator asks exactly what the load will do.
using ArchiveLookup = std::function<bool(const std::filesystem::path& folder, const std::string& name)>;

// Where a game file would be found: loose below its folder, or inside one of the folder's FAR
// archives, as the load looks for it.
struct GameFileFinding {
    enum class Where { Missing, Loose, InArchive };
    Where where = Where::Missing;
    std::string gameName;  // relative to the game folder with backslashes: "GameData\Careers.iff"
    // Loose: the file. In an archive: the archive, or the folder when an ArchiveLookup that does
    // not say which archive answered.
    std::filesystem::path path;

    bool Found() const { return where != Where::Missing; }
};

// Looks for `name` in the game folder's sub-folder `folder` ("GameData\", trailing backslash
// optional): a loose regular file first (letter case ignored), then the folder's archives,
// through `archives` when given and FindNameInArchives otherwise.
GameFileFinding FindGameFile(const std::filesystem::path& gameFolder, std::string_view folder, std::string_view name,
                             const ArchiveLookup& archives = {});

// The careers container a load would use: "ExpansionShared\Work.iff", else "GameData\Careers.iff",
// else "GameData\Careers"; Missing when the folder holds none of them.
GameFileFinding FindCareersFile(const std::filesystem::path& gameFolder, const ArchiveLookup& archives = {});

// A small stand-in for the load's archive search: the "*.FAR" files of `folder` (extension in
// any case) in name order, each read only as far as its directory; the first whose directory
// holds `name` (whole name, ASCII case ignored) is the result. An archive that is unreadable or
// malformed anywhere in its header or directory is passed over, as the load passes it over.
std::optional<std::filesystem::path> FindNameInArchives(const std::filesystem::path& folder, std::string_view name);

}  // namespace tw

#pragma once

#include "far/FARFile.h"
#include "iff/IFFFile.h"
#include "util/FileStream.h"
#include "util/UserPort.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Finding the game's files below its folder: loose first, then inside the folder's FAR
// archives, from which a file is taken out once and left loose where it was looked for.
//
// Folders are host paths; file names are in the game's own form, with backslashes between
// folder parts ("cpanel\Backgrounds\JobIconMultiPopup.BMP"), and match files and folders on
// disk whatever their letter case (HostPath), as they do on the game's own platform.

// An archive entry found by FindInArchives: the archive, read and still attached, the entry's
// index in its directory, and the archive's path.
struct ArchiveMatch {
    std::unique_ptr<FARFile> archive;
    std::size_t index = 0;
    std::filesystem::path archivePath;
};

// Looks for `name` in the FAR archives of `folder` (files whose names end in ".far" in any
// letter case), taken in byte order of their names so that the search is repeatable. The first
// archive whose directory holds the name (compared whole, without regard to case) wins; later
// archives are not opened. Archives that do not open or whose directory is unreadable are passed
// over (a read error is shown through `port`, when given, by the archive reader). None when no
// archive has it.
std::optional<ArchiveMatch> FindInArchives(const std::filesystem::path& folder, std::string_view name,
                                           UserPort* port);

// Writes the matched entry out as the loose file `name` below `folder`, creating the folders of
// `name` first. The file appears only once it is complete: a failed extraction leaves nothing
// behind (and an existing file at that place keeps its content). Returns the file's path, or
// none on failure.
std::optional<std::filesystem::path> ExtractToLooseFile(ArchiveMatch& match, const std::filesystem::path& folder,
                                                        std::string_view name);

// Loads the game file `name` below `folder` into `container` (cleared first): the loose file
// if it opens (its read-only mark is cleared first), else the archives' copy, taken out first.
// True when the container reads the file as an IFF container; a loose file that opens but is no
// container gives false without looking into the archives.
bool LoadGameIFF(IFFFile& container, const std::filesystem::path& folder, std::string_view name, UserPort& port);

// Opens the game file `name` below `folder` into `file` for reading and writing, as
// LoadGameIFF finds it. `file` is closed first and stays empty on failure.
bool OpenGameFile(std::unique_ptr<FileStream>& file, const std::filesystem::path& folder, std::string_view name,
                  UserPort& port);

}  // namespace tw

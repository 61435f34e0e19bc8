#pragma once

#include "far/FARFile.h"
#include "gamefiles/Installation.h"
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

// Why a game file could not be had. `blocking` is set when a loose file has the name but cannot
// be opened as the load needs it: the load then stops (or, for the chance cards, does without),
// because taking the archive's copy would put it in the place of the player's file. `reason`
// holds the system's description, for the message's details; it is empty when the file is simply
// nowhere.
struct LookupProblem {
    bool blocking = false;
    std::string reason;
};

// Writes the matched entry out as the new loose file `name` below `folder`, creating the folders
// of `name` first, through a transaction of `installation` (which must be its writer). The file
// appears only once it is complete, and never in the place of anything that has its name. The
// file's path, or none with the reason in `problem`.
std::optional<std::filesystem::path> ExtractToLooseFile(ArchiveMatch& match, const std::filesystem::path& folder,
                                                        std::string_view name, Installation& installation,
                                                        LookupProblem& problem);

// Finds the game file `name` below `folder` and opens it: the loose file if there is one, else
// the archives' copy. What that means depends on who holds the installation:
// - its writer opens the loose file for reading and writing (clearing its read-only mark first),
//   and takes an archived file out as a new loose file and opens that;
// - anybody else opens the loose file for reading only, without standing in the writer's way,
//   and reads an archived file into memory: it changes nothing.
// Null on failure, with what went wrong in `problem`.
std::unique_ptr<Stream> OpenGameStream(const std::filesystem::path& folder, std::string_view name, UserPort& port,
                                       Installation* installation, LookupProblem& problem);

// Loads the game file `name` below `folder` into `container` (cleared first), as OpenGameStream
// finds it. True when the container reads the file as an IFF container; a loose file that opens
// but is no container gives false without looking into the archives.
bool LoadGameIFF(IFFFile& container, const std::filesystem::path& folder, std::string_view name, UserPort& port,
                 Installation* installation, LookupProblem& problem);

}  // namespace tw

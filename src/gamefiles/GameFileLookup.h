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
// archives. Finding and opening only read: a file that only an archive holds is read into
// memory, and written loose by the first save that writes it.
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

// Why a game file could not be had, by the failure's kind: Missing when it is simply nowhere;
// System when a loose file has the name but cannot be opened, which blocks the load (or, for the
// chance cards, makes it do without), because the archive's copy would stand in for the
// player's file; Damaged when what was found cannot be read. The message holds the file and the
// system's description, for the message's details.
inline bool BlocksTheLoad(const Error& error) { return error.Kind() == ErrorKind::System; }

// Where the load found one game file, and so where a save writes it.
struct GameFileSource {
    // The loose file; for a file that only an archive holds, where it goes once written (the
    // name the load looked for, below the folder as it exists).
    std::filesystem::path path;
    // False when only an archive holds the file: the load read it into memory.
    bool loose = false;
};

// Finds the game file `name` below `folder` and opens it for reading: the loose file if there is
// one (held against other writers when `holdAgainstWriters`, else without standing in anybody's
// way), else the archives' copy, read into memory. Changes nothing on disk; `source` says where
// the file was found, or would be written.
Expected<std::unique_ptr<Stream>> OpenGameStream(const std::filesystem::path& folder, std::string_view name,
                                                 UserPort& port, bool holdAgainstWriters, GameFileSource& source);

// Loads the game file `name` below `folder` into `container` (cleared first), as OpenGameStream
// finds it, when the container reads it as an IFF container; a loose file that opens but is no
// container fails without looking into the archives.
Status LoadGameIFF(IFFFile& container, const std::filesystem::path& folder, std::string_view name, UserPort& port,
                   bool holdAgainstWriters, GameFileSource& source);

}  // namespace tw

#pragma once

#include "util/FileStream.h"

#include <filesystem>
#include <string>

namespace tw {

// The SHA-256 of the file at `path` in hexadecimal, read in pieces. The file is opened with
// `mode`: a game file without standing in anybody's way, a file of the program's own never
// through a link (FileMode::ReadOwn). Throws FileError.
std::string Sha256OfFile(const std::filesystem::path& path, FileMode mode = FileMode::ReadAnyShared);

// Copies the file at `path` whole into `out`, in pieces, never holding all of it. Throws FileError.
void CopyFileInto(const std::filesystem::path& path, Stream& out, FileMode mode = FileMode::ReadAnyShared);

}  // namespace tw

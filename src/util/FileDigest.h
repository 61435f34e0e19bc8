#pragma once

#include "util/Stream.h"

#include <filesystem>
#include <string>

namespace tw {

// The SHA-256 of the file at `path` in hexadecimal, read in pieces. The file is opened without
// standing in anybody's way (see FileMode::ReadAnyShared). Throws FileError.
std::string Sha256OfFile(const std::filesystem::path& path);

// Copies the file at `path` whole into `out`, in pieces, never holding all of it. Throws FileError.
void CopyFileInto(const std::filesystem::path& path, Stream& out);

}  // namespace tw

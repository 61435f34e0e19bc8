#pragma once

#include "util/Error.h"
#include "util/FileStream.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace tw {

// Reads a small file whole into `out`: a configuration file (a registry file, a Steam library
// list, the remembered folder) or, with FileMode::ReadOwn, one of the program's own (a journal,
// a manifest), which is never read through a link. Refuses anything that is not a regular file
// (a FIFO or device would block or never end) and anything longer than `maxBytes`, with a short
// reason: "not found", "not a regular file", "too large (N bytes)", or the platform's description.
Expected<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes,
                                    FileMode mode = FileMode::ReadShared);

}  // namespace tw

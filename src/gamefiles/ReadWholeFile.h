#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tw {

// Reads a small configuration file (a registry file, a Steam library list, the remembered
// folder) whole into `out`. Refuses anything that is not a regular file (a FIFO or device
// would block or never end) and anything longer than `maxBytes`. False with a short reason in
// `error`: "not found", "not a regular file", "too large", or the platform's description.
bool ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& out,
                   std::string* error = nullptr);

}  // namespace tw

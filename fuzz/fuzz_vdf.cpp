// Parses arbitrary text as a Steam library list (KeyValues text).
#include "locate/KeyValues.h"
#include "locate/SteamLibraries.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tw::KeyValues root;
    std::string error;
    if (!tw::KeyValues::Parse(text, root, &error) && error.empty()) __builtin_trap();
    std::vector<std::string> paths;
    if (!tw::ParseSteamLibraryFolders(text, paths, &error) && (error.empty() || !paths.empty())) __builtin_trap();
    return 0;
}

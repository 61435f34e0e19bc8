// Parses arbitrary text as a Steam library list (KeyValues text).
#include "locate/KeyValues.h"
#include "locate/SteamLibraries.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tw::Expected<tw::KeyValues> root = tw::KeyValues::Parse(text);
    if (!root && root.Reason().empty()) __builtin_trap();
    const tw::Expected<std::vector<std::string>> paths = tw::ParseSteamLibraryFolders(text);
    if (!paths && paths.Reason().empty()) __builtin_trap();
    return 0;
}

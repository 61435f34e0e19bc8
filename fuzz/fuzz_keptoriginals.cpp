// The manifest of kept original files: any bytes give a manifest or a reason, and what parses is
// written back to the same manifest.
#include "gamefiles/KeptOriginals.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tw::KeptOriginalsManifest manifest;
    const tw::Status parsed = tw::ParseKeptOriginals(text, manifest);
    if (!parsed && parsed.Reason().empty()) __builtin_trap();
    if (parsed) {
        tw::KeptOriginalsManifest again;
        if (!tw::ParseKeptOriginals(tw::EncodeKeptOriginals(manifest), again) ||
            again.files.size() != manifest.files.size())
            __builtin_trap();
    }
    return 0;
}

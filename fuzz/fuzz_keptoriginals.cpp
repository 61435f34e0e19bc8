// The manifest of kept original files: any bytes give a manifest or a reason, what parses is
// written back to the same manifest, and an accepted manifest names nothing outside the game
// folder, nor a kept copy outside its store.
#include "store/KeptOriginals.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

bool Below(const std::filesystem::path& path, const std::string& root) {
    const std::string text = path.lexically_normal().generic_string();
    return text.starts_with(root + "/") && text.size() > root.size() + 1;
}

}  // namespace

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
        const tw::KeptOriginalsFolder store("/o");
        for (const tw::KeptOriginal& file : manifest.files) {
            if (!Below(std::filesystem::path("/g") / file.path, "/g")) __builtin_trap();
            if (!Below(store.KeptCopy(file.path), "/o/files")) __builtin_trap();
        }
    }
    return 0;
}

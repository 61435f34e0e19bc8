// Parses arbitrary text as a Wine registry file and reads the game's key from whatever it holds.
#include "locate/RegistryKey.h"
#include "locate/WineRegistry.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tw::WineRegistry registry;
    const tw::Status status = registry.Parse(text);
    const bool parsed = status.Ok();
    const std::string error = status.Reason();
    // A refusal always says why and leaves nothing behind.
    if (!parsed && (error.empty() || registry.KeyCount() != 0)) __builtin_trap();
    const tw::RegistryKey key = tw::ReadWineKey(registry, "Software\\Maxis\\The Sims",
                                                {"SIMS_DATA", "EP3Installed", "EP4Installed", "InstallPath"});
    for (const auto& [name, value] : key.values) {
        // Texts end at their first zero.
        if (value.find('\0') != std::string::npos) __builtin_trap();
    }
    return 0;
}

// Reads arbitrary text as the game launchers' settings: Lutris's and Bottles' YAML through the
// key-path lookup, Heroic's GamesConfig JSON through its prefix reader.
#include "locate/HeroicGameSettings.h"
#include "locate/YamlScalar.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::vector<std::string_view>& keyPath :
         {std::vector<std::string_view>{"game", "prefix"}, std::vector<std::string_view>{"Path"}}) {
        const tw::Expected<std::optional<std::string>> value = tw::FindYamlScalar(text, keyPath);
        if (!value && value.Reason().empty()) __builtin_trap();
        if (value && *value && (*value)->empty()) __builtin_trap();
    }
    const tw::Expected<std::vector<std::string>> prefixes = tw::ParseHeroicWinePrefixes(text);
    if (!prefixes && prefixes.Reason().empty()) __builtin_trap();
    for (const std::string& prefix : prefixes.ValueOr({})) {
        if (prefix.empty()) __builtin_trap();
    }
    return 0;
}

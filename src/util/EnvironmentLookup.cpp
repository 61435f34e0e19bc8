#include "util/EnvironmentLookup.h"

#include <cstdlib>

#ifdef _WIN32
#include "util/Win32.h"
#endif

#include "util/HostPath.h"

namespace tw {

std::filesystem::path AbsoluteFolderFromEnvironment(const EnvironmentLookup& environment, const char* name) {
    const std::optional<std::string> value = environment(name);
    if (!value || value->empty()) return {};
    std::filesystem::path path = PathFromBytes(*value);
    return path.is_absolute() ? path : std::filesystem::path();
}

EnvironmentLookup ProcessEnvironment() {
    return [](const std::string& name) -> std::optional<std::string> {
#ifdef _WIN32
        // GetEnvironmentVariableA rather than getenv: it is not tied to the C runtime's copy of
        // the environment, and it says how long the value is.
        // The value may change between the size query and the read; ask again until it fits.
        DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
        for (int attempt = 0; attempt < 4 && needed != 0; ++attempt) {
            std::string value(needed, '\0');
            const DWORD got = GetEnvironmentVariableA(name.c_str(), value.data(), needed);
            if (got < needed) {
                value.resize(got);
                return value;
            }
            needed = got;
        }
        return std::nullopt;
#else
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) return std::nullopt;
        return std::string(value);
#endif
    };
}

}  // namespace tw

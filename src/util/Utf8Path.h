#pragma once

#include <filesystem>
#include <string>

namespace tw {

// A path as UTF-8 text for messages, on every system.
inline std::string Utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tw

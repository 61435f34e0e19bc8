#pragma once

#include <array>
#include <bitset>
#include <cstddef>

namespace tw {

// The languages of the editor's Language menu, in slot order (slots 0 to 14; slot 15 has no
// name and no menu item).
inline constexpr std::array<const char*, 15> LanguageNames = {
    "USEnglish", "UKEnglish", "French",   "German", "Italian",             "Spanish",            "Dutch", "Swedish",
    "Portuguese", "Japanese", "Polish", "Traditional Chinese", "Simplified Chinese", "Thai", "Korean"};

// A set of language slots (0 to 15).
using LanguageSet = std::bitset<16>;

}  // namespace tw

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Appends one code point (below U+110000) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The code point at `at` of UTF-8 text, and the bytes it takes. An invalid or cut-off sequence
// (overlong forms, surrogates and values past U+10FFFF among them) takes one byte and gives none.
struct Utf8Char {
    std::optional<char32_t> codePoint;
    std::size_t size = 1;
};
Utf8Char NextUtf8(std::string_view text, std::size_t at);

// "U+00E9", as messages name a character.
std::string CharacterName(char32_t c);

}  // namespace tw

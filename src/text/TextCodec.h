#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace tw {

// The one conversion between the game's byte texts and UTF-8, used by the model, the command
// line and every field of the editor. It follows Windows' own conversion without best fit.
//
// Decoding never loses a byte: a byte that forms no character of the code page (a lead byte
// without its trail, a byte the page leaves undefined) becomes the private-use character
// U+10FE00 + byte, which encodes back to that very byte. Encoding refuses any text that would not
// come back unchanged from the bytes it produces.

inline constexpr char32_t RawByteBase = 0x10FE00;

// Bytes of the code page as UTF-8.
std::string DecodeToUtf8(std::string_view bytes, CodePage page);

// UTF-8 as bytes of the code page; none when a character has no bytes there, for U+0000 (which
// would end the text in the game's files), for invalid UTF-8, and for a kept byte that would
// read back as part of another character.
std::optional<std::string> EncodeFromUtf8(std::string_view utf8, CodePage page);

// The bytes to store for `utf8` where `previous` was shown: `previous` itself when the text is
// what it decodes to, so a text nobody changed keeps its bytes.
std::optional<std::string> EncodeEdit(std::string_view utf8, const std::string& previous, CodePage page);

// Whether the code page holds the character on its own.
bool CanEncode(char32_t c, CodePage page);

// A text of one code page in another, as a person reads it: through Unicode, with "?" for the
// characters that the target lacks (bytes that form no character in `from` among them).
// Between languages of one code page the bytes stay exactly as they are.
struct ConvertedText {
    std::string bytes;
    bool lost = false;  // some character became "?"
};
ConvertedText ConvertText(std::string_view bytes, CodePage from, CodePage to);

}  // namespace tw

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The single- and double-byte code pages in which the game stores the texts of each language.
enum class CodePage : std::uint16_t {
    Windows1252 = 1252,  // the Western European languages and internal names
    ShiftJis = 932,      // Japanese
    Windows1250 = 1250,  // Polish
    Big5 = 950,          // Traditional Chinese
    Gbk = 936,           // Simplified Chinese
    Windows874 = 874,    // Thai
    Windows949 = 949,    // Korean
};

// The code page of a language slot (0 to 15); slot 15 and out-of-range slots use Windows-1252.
CodePage SlotCodePage(std::uint16_t slot);

// Appends one code point (below U+110000) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// Bytes of the code page to UTF-8. Bytes that do not form a character become U+FFFD, so the
// result is always valid UTF-8 (for people to read; the bytes themselves are never changed).
std::string DecodeToUtf8(std::string_view bytes, CodePage page);

// UTF-8 to bytes of the code page; none when a character has no encoding there.
std::optional<std::string> EncodeFromUtf8(std::string_view utf8, CodePage page);

// UTF-8 to bytes of the code page, with `replacement` for every character that has no encoding
// there. `replaced` (when given) is set when any character was. Invalid UTF-8 counts as such a
// character, one per byte.
std::string EncodeFromUtf8Replacing(std::string_view utf8, CodePage page, char replacement, bool* replaced = nullptr);

// A text of one code page in another, as a person reads it: through Unicode, with "?" for the
// characters that the target lacks (bytes that form no character in `from` among them).
// Between languages of one code page the bytes stay exactly as they are.
struct ConvertedText {
    std::string bytes;
    bool lost = false;  // some character became "?"
};
ConvertedText ConvertText(std::string_view bytes, CodePage from, CodePage to);

}  // namespace tw

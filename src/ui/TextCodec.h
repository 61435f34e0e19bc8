#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QString>

namespace tw {

// Turns the game's byte strings into text for the person and back. Every language slot has the
// code page in which the game stores its texts; internal names (career and job names) are always
// Windows-1252.
//
// Decoding never loses a byte: a byte that the code page cannot decode (a broken double-byte
// sequence, say) becomes a character of the supplementary private use area (U+10FE00 + byte)
// that encodes back to the same byte. Encoding refuses, with no result, any text that would not
// come back unchanged from the bytes it produces: characters that the code page lacks, and the
// NUL character, which would end the text in the game's files.
//
// How a field uses it: show Decode(bytes); when the person edits, store EncodeEdit(text, bytes).
// With no result the field keeps its previous bytes and gets its previous text back, so the
// keystroke is refused. A text the person does not touch keeps its bytes as they were.
class TextCodec {
public:
    // The code page of a language slot, as a converter name. Slots outside 0 to 15 get the
    // internal code page.
    static const char* CodePageName(std::uint16_t slot);
    static const char* InternalCodePageName() { return "windows-1252"; }

    static QString Decode(const std::string& bytes, std::uint16_t slot);
    static std::optional<std::string> Encode(const QString& text, std::uint16_t slot);
    // The bytes to store after the person edited a field that showed Decode(previous): the
    // previous bytes themselves when the text is unchanged, else Encode(text).
    static std::optional<std::string> EncodeEdit(const QString& text, const std::string& previous,
                                                 std::uint16_t slot);

    static QString DecodeInternal(const std::string& bytes);
    static std::optional<std::string> EncodeInternal(const QString& text);

    // The same with a converter given by name. A name that the platform's converters do not know
    // (or useConverter false) still works losslessly: Windows-1252 from a table of our own,
    // anything else as ASCII with every other byte kept as its private-use character.
    static QString DecodeWith(const std::string& bytes, const char* codePage, bool useConverter = true);
    static std::optional<std::string> EncodeWith(const QString& text, const char* codePage, bool useConverter = true);

    // Whether the platform has a converter of that name.
    static bool HasConverter(const char* codePage);

    // The first code point of the private-use characters that stand for undecodable bytes.
    static constexpr char32_t RawByteBase = 0x10FE00;
};

}  // namespace tw

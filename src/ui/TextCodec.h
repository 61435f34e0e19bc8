#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QString>

namespace tw {

// The core's text codec for Qt's strings: the game's byte texts shown to the person and back.
// Every language slot has its code page; internal names (career and job names) are always
// Windows-1252. Bytes a code page cannot decode show as private-use characters that encode back
// to the same bytes, and a text that would not come back unchanged is refused (no result).
//
// How a field uses it: show Decode(bytes); when the person edits, store EncodeEdit(text, bytes).
// With no result the field keeps its previous bytes and gets its previous text back, so the
// keystroke is refused. A text the person does not touch keeps its bytes as they were.
class TextCodec {
public:
    static QString Decode(const std::string& bytes, std::uint16_t slot);
    static std::optional<std::string> Encode(const QString& text, std::uint16_t slot);
    static std::optional<std::string> EncodeEdit(const QString& text, const std::string& previous,
                                                 std::uint16_t slot);
    static bool CanHold(char32_t c, std::uint16_t slot);

    static QString DecodeInternal(const std::string& bytes);
    static std::optional<std::string> EncodeInternal(const QString& text);
    static bool InternalCanHold(char32_t c);
};

}  // namespace tw

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QString>

namespace tw {

// How the main window's text fields show the model's byte texts and turn edited text back into
// bytes. A language text uses the code page of its language slot, an internal name the internal
// code page. Multi-line fields show the platform's "\r\n" line breaks as plain line breaks.
struct FieldCodec {
    std::uint16_t slot = 0;
    bool internalName = false;
    bool multiLine = false;

    QString Show(const std::string& bytes) const;

    // The bytes to store for what the field holds now, given the bytes it showed before: those
    // very bytes while the text is unchanged, so a text nobody edits never changes. Edited line
    // breaks follow the stored text's form ("\n" only when it used nothing else, "\r\n"
    // otherwise). None when the code page cannot hold the text.
    std::optional<std::string> Bytes(const QString& text, const std::string& previous) const;

    // Whether the field's code page has bytes for the character on its own.
    bool CanHold(char32_t c) const;
};

}  // namespace tw

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

    // What an edit from `before` to `after` leaves in the field and stores: all of it when the
    // code page holds it; otherwise the typed or pasted characters that it holds, with the rest
    // named in `leftOut` (the text around the edit stays as it was). None when not even that can
    // be stored.
    struct Fitted {
        QString text;
        int cursor = 0;  // where the kept insertion ends, in the field's units
        QString leftOut;
        std::string bytes;
    };
    std::optional<Fitted> Fit(const QString& before, const QString& after, const std::string& previous) const;

    // The notice for characters left out of the texts `where` names ("German texts").
    static QString LeftOutNotice(const QString& characters, const QString& where);
    // What the field's texts are called in that notice: "internal names", "German texts".
    QString TextsName() const;
};

}  // namespace tw

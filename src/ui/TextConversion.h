#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QString>

namespace tw {

// Turns the byte texts of one language, kept unchanged in the model, into what a text field
// shows, and typed text back into bytes of that language's code page.
struct TextConversion {
    std::function<QString(const std::string&)> toText;
    std::function<std::string(const QString&)> toBytes;

    // A code page by its name; when the platform does not know it, bytes map one to one onto
    // the first 256 characters, so that texts still come back unchanged.
    static TextConversion ForCodePage(const char* name);
    // The code page of a language slot: Shift_JIS for Japanese, Windows-1250 for Polish, Big5 and
    // GBK for the two Chinese, Windows-874 for Thai, CP949 for Korean, Windows-1252 otherwise.
    static TextConversion ForLanguageSlot(std::uint16_t slot);
    static const char* CodePageName(std::uint16_t slot);
};

// A multi-line field shows "\r\n" and "\n" alike as one line break and hands back "\n".
QString ToFieldLineBreaks(const QString& text);
// Line breaks of edited text as the stored text had them: "\n" when it used only bare "\n",
// otherwise "\r\n", as the game's platform writes them.
QString ToStoredLineBreaks(const QString& fieldText, const std::string& storedBefore);

}  // namespace tw

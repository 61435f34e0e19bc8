#pragma once

#include <string>

#include <QString>

namespace tw {

// A multi-line field shows "\r\n" and "\n" alike as one line break and hands back "\n".
QString ToFieldLineBreaks(const QString& text);
// Line breaks of edited text as the stored text had them: "\n" when it used only bare "\n",
// otherwise "\r\n", as the game's platform writes them.
QString ToStoredLineBreaks(const QString& fieldText, const std::string& storedBefore);

}  // namespace tw

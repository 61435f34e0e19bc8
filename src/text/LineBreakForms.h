#pragma once

#include <string>
#include <string_view>

namespace tw {

// How a person edits the line breaks of a stored text: the game's platform writes "\r\n",
// editors hand back bare "\n". Both work on UTF-8 and on bytes of any of the game's code pages,
// none of which uses the bytes of "\r" and "\n" inside a character.

// "\r\n" and "\n" alike as one "\n".
std::string ShownLineBreaks(std::string_view text);
// The "\n" of edited text as the stored text had them: "\n" when it used only bare "\n",
// otherwise "\r\n" (a "\r\n" already there stays one).
std::string StoredLineBreaks(std::string_view shown, std::string_view storedBefore);

}  // namespace tw

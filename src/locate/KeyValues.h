#pragma once

#include "util/Error.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// A tree of Valve's KeyValues text, the format of Steam's libraryfolders.vdf:
//
//   "libraryfolders"
//   {
//       "0" { "path" "C:\\Program Files (x86)\\Steam" "apps" { "3314060" "1234" } }
//   }
//
// Keys and values are quoted strings with the escapes \\ \" \n \t \r \v \b \f \a \? \';
// "//" starts a comment that runs to the end of the line. Unquoted words, unknown escapes,
// unbalanced braces, a key without a value and nesting deeper than MaxDepth are refused.
class KeyValues {
public:
    static constexpr int MaxDepth = 64;

    std::string key;
    std::string value;                // a leaf's value
    std::vector<KeyValues> children;  // a block's pairs, in file order
    bool isBlock = false;

    // Parses a whole text into a block whose children are the top-level pairs. Malformed text
    // fails, saying what and on which line.
    static Expected<KeyValues> Parse(std::string_view text);

    // The first child with this key, compared without regard to ASCII letter case; or null.
    const KeyValues* Find(std::string_view childKey) const;
};

}  // namespace tw

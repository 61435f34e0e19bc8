#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tw {

// What of a person's typing or pasting goes into a text whose code page cannot hold every
// character: the field held `before` and now holds `after`. The characters that `after` puts in
// place of a part of `before` (what was typed or pasted, over what was selected) are kept where
// `canHold` takes them and left out otherwise; the text around them is the person's earlier
// text and stays as it was.
struct TypedText {
    std::u32string text;       // `after` without the characters left out
    std::size_t cursor = 0;    // where the kept insertion ends in `text`
    std::u32string leftOut;    // each character left out, once, in the order typed
};

TypedText KeepWhatFits(std::u32string_view before, std::u32string_view after,
                       const std::function<bool(char32_t)>& canHold);

}  // namespace tw

#include "util/TypedText.h"

#include <algorithm>

namespace tw {

TypedText KeepWhatFits(std::u32string_view before, std::u32string_view after,
                       const std::function<bool(char32_t)>& canHold) {
    // The insertion is what lies between the longest common start and the longest common end
    // (the end not reaching into the start).
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t start = 0;
    while (start < shorter && before[start] == after[start]) ++start;
    std::size_t end = 0;
    while (end < shorter - start && before[before.size() - 1 - end] == after[after.size() - 1 - end]) ++end;

    TypedText typed;
    typed.text.assign(after.substr(0, start));
    for (const char32_t c : after.substr(start, after.size() - end - start)) {
        if (canHold(c)) {
            typed.text += c;
        } else if (typed.leftOut.find(c) == std::u32string::npos) {
            typed.leftOut += c;
        }
    }
    typed.cursor = typed.text.size();
    typed.text.append(after.substr(after.size() - end));
    return typed;
}

}  // namespace tw

#include "text/LineBreakForms.h"

namespace tw {

std::string ShownLineBreaks(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at)
        if (text[at] != '\r' || at + 1 >= text.size() || text[at + 1] != '\n') shown += text[at];
    return shown;
}

std::string StoredLineBreaks(std::string_view shown, std::string_view storedBefore) {
    const bool bareOnly =
        storedBefore.find('\n') != std::string_view::npos && storedBefore.find("\r\n") == std::string_view::npos;
    if (bareOnly) return std::string(shown);
    std::string stored;
    stored.reserve(shown.size());
    for (char c : shown) {
        // A "\r\n" that the edited text already holds stays as it is.
        if (c == '\n' && (stored.empty() || stored.back() != '\r')) stored += '\r';
        stored += c;
    }
    return stored;
}

}  // namespace tw

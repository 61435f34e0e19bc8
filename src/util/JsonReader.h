#pragma once

#include "util/JsonValue.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Where and why a text is not a JSON document.
struct JsonSyntaxError {
    // Of the byte at which the fault was found (of an unexpected token, its last byte); the
    // text's size when the text ends too soon.
    std::size_t offset = 0;
    std::size_t line = 0;    // 1-based; lines end at '\n'
    std::size_t column = 0;  // 1-based, in characters (UTF-8 sequences) of its line; a BOM counts none
    std::string message;     // e.g. "syntax error while parsing array - unexpected ']'"

    // "line 3, column 7: <message>"
    std::string Describe() const;
};

// How deep arrays and objects may be nested inside one another.
inline constexpr std::size_t JsonMaxDepth = 512;

// Reads one JSON document (RFC 8259, UTF-8, an optional BOM) strictly: no comments, no trailing
// content, no invalid UTF-8 in strings, no number beyond the range of a double. Numbers and
// duplicate keys are kept as written (see JsonValue).
// Malformed input, empty input and nesting deeper than maxDepth return none and fill `error`
// with the place of the fault; never throws.
std::optional<JsonValue> ParseJson(std::string_view text, JsonSyntaxError& error,
                                   std::size_t maxDepth = JsonMaxDepth);

}  // namespace tw

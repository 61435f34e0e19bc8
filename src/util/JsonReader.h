#pragma once

#include "util/Error.h"
#include "util/JsonValue.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// How deep arrays and objects may be nested inside one another.
inline constexpr std::size_t JsonMaxDepth = 512;

// Reads one JSON document (RFC 8259, UTF-8, an optional BOM) strictly: no comments, no trailing
// content, no invalid UTF-8 in strings, no number beyond the range of a double. Numbers and
// duplicate keys are kept as written (see JsonValue).
// Malformed input, empty input and nesting deeper than maxDepth fail with the place of the fault:
// "line 3, column 7: syntax error while parsing array - unexpected ']'", the line 1-based (lines
// end at '\n'), the column 1-based in characters (UTF-8 sequences) of its line, a BOM counting
// none; the place is that of the byte at which the fault was found (of an unexpected token, its
// last byte), or the text's end when it ends too soon. Never throws.
Expected<JsonValue> ParseJson(std::string_view text, std::size_t maxDepth = JsonMaxDepth);

}  // namespace tw

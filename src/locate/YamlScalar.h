#pragma once

#include "util/Error.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Finds one text in a YAML document (a Linux game launcher's settings) by its path of mapping
// keys: {"game", "prefix"} finds "/home/me/Games/ea-app" in
//
//   game:
//     exe: /home/me/Games/ea-app/drive_c/...
//     prefix: /home/me/Games/ea-app
//
// The text is read event by event with libyaml and no tree is built. Keys match exactly; a key
// that appears twice counts with its last value, as the launchers' own readers take it. Nothing
// below a sequence is on a path.
//
// Malformed text (anything libyaml refuses, more than one document, nesting deeper than
// MaxDepth) fails, naming the line and the fault. Otherwise the text found, or none when the path
// is absent, leads to a sequence, a mapping or an alias, or ends in a null (nothing, "~" or
// "null").
Expected<std::optional<std::string>> FindYamlScalar(std::string_view text, const std::vector<std::string_view>& keyPath);

constexpr std::size_t YamlMaxDepth = 64;

}  // namespace tw

#pragma once

#include "util/Error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The game names its files with backslashes ("GameData\Objects\CarPortal.iff") and its own
// platform finds them whatever their letter case. HostPath turns a game folder and such a name
// into a path of this machine:
// - backslashes (and slashes) separate components; empty, "." and ".." components are dropped,
//   so a name taken from a file can never lead outside `folder`;
// - on POSIX each component is matched without regard to ASCII letter case against what exists
//   on disk (an exact match wins; among several case-variants the lowest in byte order). A
//   component that does not exist keeps the given spelling, and so do all after it, so that the
//   caller can create it;
// - on Windows the file system already ignores case; each component that exists takes the
//   letter case the disk stores (components holding a drive colon are dropped as well).
// `folder` is used as given, with or without a trailing separator.
std::filesystem::path HostPath(const std::filesystem::path& folder, std::string_view gameName);

// `folder` / `relative`, where on Windows each component of `relative` that exists is spelt as
// the disk stores it: a file replaced under that name keeps the name it was found by.
std::filesystem::path InStoredCase(const std::filesystem::path& folder, const std::filesystem::path& relative);

// The game folder's text (a byte string: the system's ANSI code page on Windows, the file
// system's bytes elsewhere) as a path, and back. BytesFromPath gives nullopt for a Windows
// path that the ANSI code page cannot express.
std::filesystem::path PathFromBytes(std::string_view bytes);
std::optional<std::string> BytesFromPath(const std::filesystem::path& path);

// A path as UTF-8 text for messages and traces (on POSIX its bytes as they are); never throws.
std::string PathText(const std::filesystem::path& path);
// The path that PathText gave `text` for; what files of our own record paths as.
std::filesystem::path PathFromText(std::string_view text);

// The parts of a relative path that our own files record with '/' between them
// ("GameData/Objects/CarPortal.iff"), as given: empty parts included, nothing checked.
std::vector<std::string_view> SlashedParts(std::string_view relative);
// `folder` / each of SlashedParts(`relative`), every part read as PathFromText reads it.
std::filesystem::path PathFromSlashed(const std::filesystem::path& folder, std::string_view relative);

// Compares two byte strings with ASCII letters folded to one case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Makes an existing file writable: clears FILE_ATTRIBUTE_READONLY on Windows (other attributes
// stay), adds owner write permission elsewhere; the platform's description when the file's
// attributes cannot be read or changed.
Status ClearReadOnly(const std::filesystem::path& path);

}  // namespace tw

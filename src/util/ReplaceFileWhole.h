#pragma once

#include "util/FileStream.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tw {

// Replaces the file at `target` whole with what `write` produces, or leaves it as it was.
//
// The bytes go into a temporary file in the target's folder (a fresh unpredictable name, created
// exclusively, with the target's permission bits and owner), which is flushed to the disk and
// then moved over the target in one step (rename; on Windows the platform's replace call). A
// target that is a symbolic link is replaced where it leads. If
// `write` returns false or throws FileError, or any step fails, the target keeps its old
// content and the temporary file is removed; the failure holds the platform's description
// (empty when `write` itself declined).
//
// `held`, when given, is a stream that the program keeps open on `target`. It is closed for the
// move (Windows cannot replace a file that is open without delete sharing) and reopened on the
// new file in its own mode afterwards; after a failure it is reopened on the old file. On
// Windows no other duplicate of `held` may be open, or the move fails and the target stays.
Status ReplaceFileWhole(const std::filesystem::path& target, const std::function<bool(Stream&)>& write,
                        FileStream* held = nullptr);

}  // namespace tw

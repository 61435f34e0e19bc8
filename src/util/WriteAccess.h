#pragma once

#include "util/Status.h"

#include <filesystem>

namespace tw {

// Whether this process may create, rename and remove files in `folder`, as the system decides
// (permissions, access rules, a file system mounted read-only), without creating anything
// there. A folder that does not exist is answered for the nearest folder above it that does,
// where it would be created. Fails with the folder's name and the system's reason.
Status CheckWritableFolder(const std::filesystem::path& folder);

}  // namespace tw

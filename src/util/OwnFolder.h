#pragma once

#include "util/Status.h"

#include <filesystem>

namespace tw {

// The folders that hold the program's own files (locks, journals, kept original files) are
// trusted only when they are real folders (not symbolic links or reparse points), belong to the
// person running the program and cannot be written by others, as ssh trusts its own
// configuration. Each fails with the folder and what is wrong with it.

// Checks the existing `folder`.
Status CheckOwnFolder(const std::filesystem::path& folder);

// Creates `folder` and every missing folder between `root` and it, each readable by its owner
// only (0700), and checks each of them from `root` down, `root` included. `root`'s own parents
// are created as the system makes folders, and not checked: they are the person's (their
// ~/.local/state, say).
Status MakeOwnFolders(const std::filesystem::path& root, const std::filesystem::path& folder);

}  // namespace tw

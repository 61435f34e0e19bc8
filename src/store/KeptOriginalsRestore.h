#pragma once

#include "store/Installation.h"
#include "store/KeptOriginals.h"
#include "util/Status.h"

#include <string>
#include <vector>

namespace tw {

// What giving the original files back would do.
struct RestoreCheck {
    KeptOriginalsManifest manifest;
    // The kept files that differ from the game's files now (relative paths), in path order: the
    // ones a restore changes.
    std::vector<std::string> differing;
    // Of those, the game files that also differ from what Trackwright last wrote there: somebody
    // else changed them since (a patch of the game, a store's check of its files).
    std::vector<std::string> changedSince;
};

// Reads the manifest of `installation`'s kept originals, checks every kept copy against it and
// compares the game's files. Fails, naming the file, when a kept copy's size or digest no longer
// match their record (it is never put back), and when the manifest cannot be read.
Status CheckRestore(const Installation& installation, RestoreCheck& check);

// Puts every differing kept original back and removes every differing file that did not exist
// originally, as one transaction of the installation (which must be its writer); the kept copies
// stay kept. A kept copy that changes while it is copied fails the whole restore.
Status RestoreKeptOriginals(Installation& installation, const RestoreCheck& check);

}  // namespace tw

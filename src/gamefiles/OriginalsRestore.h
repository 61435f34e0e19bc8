#pragma once

#include "gamefiles/GameContext.h"
#include "gamefiles/KeptOriginals.h"
#include "util/Status.h"
#include "util/UserPort.h"

#include <functional>
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

// How the person is asked.
enum class RestoreAsking {
    Person,   // the editor: asks before restoring, and again about files changed since
    Command,  // the command line: asks nothing; files changed since are refused unless forced
};

enum class RestoreOutcome { NothingToDo, Refused, Cancelled, Failed, Restored };

// Whether File > Restore Original Files... has anything to offer: originals are kept for the
// loaded game, or their manifest cannot be read (the command then says why).
bool OffersKeptOriginals(const GameContext& context);

// File > Restore Original Files... and `trackwright-cli restore-originals`: checks, asks (or
// refuses), lets go of the files the loaded game holds, restores, and then runs `reload` when
// given (the editor's Reload) or takes the held files back. Every message goes through `port`.
RestoreOutcome RestoreOriginalFiles(GameContext& context, UserPort& port, RestoreAsking asking, bool force,
                                    const std::function<int()>& reload = {});

}  // namespace tw

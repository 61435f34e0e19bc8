#pragma once

#include "gamefiles/GameContext.h"
#include "store/KeptOriginalsRestore.h"
#include "util/Status.h"
#include "util/UserPort.h"

#include <functional>
#include <string>
#include <vector>

namespace tw {

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

#pragma once

#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "util/UserPort.h"

#include <functional>

namespace tw {

// Saving, reloading and closing: the core of File > Save, File > Reload and File > Exit. The
// window calls these on its own thread and keeps `careersUnchanged` itself.

// Writes the careers container, the chance-card container (unless chance-card editing is off)
// and both icon strips back to the files the load left open, in that order. Each file is
// replaced whole or not at all. At the first failure its message is shown ("Error") and the
// result is false; files written by earlier steps stay written.
bool SaveGameFiles(GameContext& context, UserPort& port);

// Drops everything loaded and loads the game files again through `runLoad`, without a
// question. Returns the load's result (1 loaded); on 1 the window shows the new data and
// counts the careers as unchanged, on anything else it ends the program.
int ReloadGameFiles(GameContext& context, const LoadRunner& runLoad);

// What Save did.
struct SaveOutcome {
    // False when a save step failed: nothing was reloaded, the edits are still in memory and
    // `careersUnchanged` keeps its value.
    bool saved = false;
    // The reload's result after a complete save (1 loaded); 0 when no reload ran. After a save
    // the window counts the careers as unchanged whatever this is, and ends the program when it
    // is not 1.
    int reloadResult = 0;
};

// File > Save: SaveGameFiles, then `reload` (the whole Reload command as the caller runs it,
// returning the load's result), then "Operation complete!".
SaveOutcome SaveAndReload(GameContext& context, UserPort& port, const std::function<int()>& reload);

enum class ExitDecision {
    Close,  // the window closes with result 1
    Stay,   // the window stays open
};

// The exit question, "Do you want to save the careers?" (Yes, No, Cancel), which leaving the game
// for another asks too.
Answer AskToSaveCareers(UserPort& port);

// File > Exit or closing the window: closes at once when nothing changed; otherwise asks
// whether to save. Yes saves (then closes the two icon-strip files) and closes only when the
// save succeeded; No closes without saving; Cancel stays.
ExitDecision DecideExit(GameContext& context, UserPort& port, bool careersUnchanged);

}  // namespace tw

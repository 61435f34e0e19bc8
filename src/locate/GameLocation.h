#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gamefiles/GameFileFinding.h"
#include "locate/RegistryKey.h"
#include "util/EnvironmentLookup.h"

namespace tw {

// Where a game location came from, in the order the sources are tried.
enum class LocateSource {
    None,           // nothing found: the folder is empty
    GameOption,     // the folder the caller gave (the command line's --game DIR)
    Environment,    // the SIMS_DATA, EP3Installed and EP4Installed environment variables
    Registry,       // the game's key: the Windows registry, or the Wine registry of $WINEPREFIX (~/.wine)
    Remembered,     // the folder the person chose earlier (RememberedFolder)
    InstallPath,    // the key's "InstallPath", when it holds no usable "SIMS_DATA"
    DefaultFolder,  // a default install folder (Program Files on Windows, drive C: of a Wine prefix)
    SteamLibrary,   // steamapps/common/The Sims Legacy Collection of a Steam library
    ProtonPrefix,   // the game's key in the registry of the game's Proton prefix
    LutrisPrefix,   // a Wine prefix of Lutris: its settings, a folder of ~/Games
    HeroicPrefix,   // a Wine prefix of Heroic: its settings, a folder of ~/Games/Heroic/Prefixes
    BottlesPrefix,  // a bottle of Bottles
    WinePrefix,     // the game's key in the registry of ~/.wine
};

// A short lower-case name of the source for traces ("registry", "Steam library" ...).
std::string_view LocateSourceName(LocateSource source);

// The game folder and the two expansion texts, all byte strings as the rest of the program
// uses them (ANSI code page on Windows, the file system's bytes elsewhere). The expansion texts
// come from the same source as the folder; "1" means installed. A found folder need not end in
// a separator.
struct GameLocation {
    std::string gameFolder;
    std::string expansion3Flag;
    std::string expansion4Flag;
    LocateSource source = LocateSource::None;
};

// One thing the locator looked at, in order: what it was and what it found there or why it
// was passed over. `chosen` marks the step whose folder was taken.
struct LocateStep {
    LocateSource source = LocateSource::None;
    std::string candidate;  // a folder, file, variable or registry key (UTF-8 for paths)
    std::string outcome;
    bool chosen = false;
};

struct LocateOptions {
    // The folder given by the caller (--game DIR); used as it is when not empty.
    std::string gameFolder;
    // The environment to read (HOME, XDG_CONFIG_HOME, APPDATA, WINEPREFIX, ProgramFiles ...,
    // SIMS_DATA, EP3Installed, EP4Installed); empty: the process environment.
    EnvironmentLookup environment;
    // The archive search used to decide whether a candidate folder holds a careers file; empty:
    // FindNameInArchives.
    ArchiveLookup archiveLookup;
    // Windows only: how registry keys are read; empty: the system registry. Unused elsewhere,
    // where the registry is the Wine prefix's system.reg.
    RegistryLookup windowsRegistry;
};

struct LocateResult {
    GameLocation location;
    std::vector<LocateStep> trace;
};

// Finds the game. Sources, first that yields a folder wins:
//  1. options.gameFolder; then the environment variable SIMS_DATA (with EP3Installed and
//     EP4Installed) — both used as they are;
//  2. the key "Software\Maxis\The Sims" of the local machine ("SIMS_DATA", "EP3Installed",
//     "EP4Installed"): the Windows registry, or elsewhere the Wine registry of $WINEPREFIX
//     (default ~/.wine) with its Windows path turned into a host path — used as it is;
//  3. the remembered folder;
//  4. the key's "InstallPath"; then on Windows the default install folders and the Steam
//     libraries, elsewhere the Steam libraries (and the game's Proton prefix in each), the Wine
//     prefixes of Lutris, Heroic and Bottles (LauncherPrefixes) and the ~/.wine prefix. Each
//     prefix is searched through the game's key in its registry, then the default install
//     folders on its drive C:.
// A folder from sources 3 and 4 counts only if it holds a careers file (FindCareersFile).
// When nothing is found the folder is empty and the expansion texts are those of the key, if
// it was there. Never throws; every source that cannot be read is in the trace with its reason.
LocateResult LocateGame(const LocateOptions& options = {});

}  // namespace tw

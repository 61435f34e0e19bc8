#pragma once

#include "util/Error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "util/EnvironmentLookup.h"

namespace tw {

// The Linux game launchers that keep Wine prefixes of their own, in which the EA app or the game
// may be installed.
enum class Launcher { Lutris, Heroic, Bottles };

// One thing looked at while gathering a launcher's prefixes, in the order looked at: a settings
// folder or file and what it gave, or a prefix to search.
struct LauncherFinding {
    std::string candidate;  // a folder or settings file (UTF-8, for traces)
    std::string outcome;    // what it gave; empty for a folder found in the launcher's prefix folder
    std::optional<std::filesystem::path> prefix;  // the prefix to search, if any
};

// Where each launcher keeps its prefixes, settings files first (they name the prefixes exactly,
// wherever they are), then the launcher's own prefix folders:
// - Lutris: "game" > "prefix" of each games/*.yml in its configuration folder (~/.config/lutris,
//   older releases) and data folder (~/.local/share/lutris), each also inside its Flatpak's
//   ~/.var/app/net.lutris.Lutris; then every folder of ~/Games.
// - Heroic: "winePrefix" of each GamesConfig/*.json of ~/.config/heroic and of its Flatpak's
//   ~/.var/app/com.heroicgameslauncher.hgl/config/heroic; then every folder of
//   ~/Games/Heroic/Prefixes.
// - Bottles: every bottle of ~/.local/share/bottles/bottles and of its Flatpak's
//   ~/.var/app/com.usebottles.bottles/data/bottles/bottles; a bottle kept elsewhere leaves a
//   folder there holding placeholder.yml, whose "Path" names it.
// ~/.config and ~/.local/share are XDG_CONFIG_HOME and XDG_DATA_HOME when those are absolute.
// A settings text "~/..." counts from HOME; any other relative one is passed over. A settings
// file that cannot be read or is malformed is passed over with its reason. Nothing when HOME is
// not set; an empty `environment` is the process's. Never throws for a file system fault; each is
// a finding with its reason.
std::vector<LauncherFinding> FindLauncherPrefixes(Launcher launcher, const EnvironmentLookup& environment);

// The folder of a launcher's prefix that Wine uses: `root` itself when it holds a prefix
// (system.reg, drive_c or dosdevices), else its "pfx" folder, where Proton-based runners keep
// theirs. Fails, saying why, when neither is there.
Expected<std::filesystem::path> LauncherPrefixRoot(const std::filesystem::path& root);

}  // namespace tw

#pragma once

#include "util/Error.h"

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The Wine prefixes that one of Heroic's per-game settings files (GamesConfig/<app>.json) names:
//
//   {
//     "Sims": { "winePrefix": "/home/me/Games/Heroic/Prefixes/The Sims", "wineVersion": { ... } },
//     "version": "v0",
//     "explicit": true
//   }
//
// Each member of the top-level object whose value is an object with a "winePrefix" text gives
// that text (empty ones are left out); other members are ignored. Text that is not JSON, a
// top level that is not an object, or a "winePrefix" that is not a text, fails saying what.
// Never throws.
Expected<std::vector<std::string>> ParseHeroicWinePrefixes(std::string_view jsonText);

}  // namespace tw

#pragma once

#include "check/Finding.h"
#include "gamefiles/GameContext.h"

#include <vector>

namespace tw {

// Everything `check` reports of a loaded game, in this order: the parts the load could not read
// (Damaged; chance cards that do not load at all are one such part), what a save with no edit would change (Form, Loss), and the careers the game would
// show wrongly (Rule). Writes nothing.
std::vector<Finding> CheckGame(GameContext& context);

// The load's problems as Damaged findings, each a problem.
std::vector<Finding> DamagedFindings(const std::vector<GameFileProblem>& problems);

}  // namespace tw

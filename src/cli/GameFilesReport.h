#pragma once

#include "gamefiles/GameContext.h"
#include "locate/GameLocation.h"

#include <string>
#include <vector>

namespace tw::cli {

// What `locate` prints: the game folder and expansion texts, which careers container,
// chance-card container and icon strips a load would use (a file that only an archive holds is
// named with its archive), and every source and candidate that was tried. Reads no file data
// and takes nothing out of an archive.
std::string DescribeLocation(const LocateResult& found);

// The "problems:" part of `locate`: what a load of the game could not read, one indented line
// each, or "none".
std::string DescribeProblems(const std::vector<GameFileProblem>& problems);

}  // namespace tw::cli

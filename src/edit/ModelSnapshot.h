#pragma once

#include "icons/IconStrips.h"
#include "model/CardTexts.h"
#include "model/Career.h"

#include <vector>

namespace tw {

class GameContext;

// Everything of the loaded game that a person can change, as it stood at one moment: the files
// as last loaded or saved, for the review of what a save would write.
struct ModelSnapshot {
    std::vector<Career> careers;
    CardTexts cardTexts;
    IconStrips icons;

    static ModelSnapshot Of(const GameContext& context);
};

}  // namespace tw

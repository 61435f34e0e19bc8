#pragma once

#include "check/Finding.h"
#include "icons/IconStrips.h"
#include "model/CareerSet.h"

#include <vector>

namespace tw {

// The careers the game would show wrongly, one finding of kind Rule per place: salary-falls,
// skill-below-level-below, friends-below-level-below, zero-hours, missing-job-name,
// texts-missing-in-language, empty-card-text (only when `cardsLoaded`), no-icon,
// value-out-of-range, car-pool-unlisted (a note), no-levels. Any model is accepted; an empty set
// gives nothing.
std::vector<Finding> CheckCareerRules(const CareerSet& careers, const IconStrips& icons, bool cardsLoaded);

}  // namespace tw

#pragma once

#include "check/Finding.h"
#include "gamefiles/GameContext.h"

#include <vector>

namespace tw {

// What a save of the loaded game would change with no edit: every file the save re-encodes is
// encoded in memory, from a copy of the model into a copy of the container read from the same
// bytes, and compared chunk by chunk with what the file holds. A difference is of kind Form when
// decoding the new bytes gives what decoding the old ones gave, else Loss; an icon strip that is
// not in the 24-bit form a save writes is a Form. Nothing is written and the context's model and
// containers are left as they are. A container that cannot be read again or encoded is one Loss
// saying why; a careers container that a save would refuse (see KeptWholeBySave) is skipped, its
// damage being listed by the load's problems.
std::vector<Finding> SaveDifferences(GameContext& context);

}  // namespace tw

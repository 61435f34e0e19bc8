#pragma once

#include "iff/ResourceType.h"

#include <cstdint>
#include <string>

namespace tw {

// A part of a container that cannot be read as it is listed: which chunk (type 0 for bytes that
// belong to no chunk), and why, in words.
struct ChunkProblem {
    ResourceType type = 0;
    std::uint16_t id = 0;
    std::string label;
    std::string reason;
    // Whether a save can write the container without losing anything of it. A chunk that only
    // does not decode is written back as the bytes it was read as; one whose bytes cannot be
    // told apart from the rest of the file (a header past the end of the file, a chunk that
    // overlaps another, bytes that belong to no chunk) cannot be written back whole.
    bool keptBySave = true;
};

}  // namespace tw

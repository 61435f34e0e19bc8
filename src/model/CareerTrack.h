#pragma once

#include "model/GameResource.h"
#include "model/JobLevel.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tw {

// A career track (resource type CARR): the career's internal name and its job levels.
//
// Data:
//   0   u32 0, u32 0, "RRAC"
//   12  one byte, written as 1, ignored on reading
//   13  name, NUL-terminated, then one pad byte 0xA3 when the next offset would be odd
//   the level count and level 0's 21 values as bit fields (FieldBitStream), to a byte boundary
//   level 0's five texts, each NUL-terminated and padded with 0xA3 to an even offset
//   for each further level: its 21 values from a fresh byte, then its five padded texts
class CareerTrack final : public GameResource {
public:
    // Decoding fails on a wrong header, a negative level count, and data that end before the
    // last text (nothing is read past the data); the levels decoded before such an end stay.
    bool Decode(std::span<const std::uint8_t> data) override;
    // Never fails.
    bool Encode(std::vector<std::uint8_t>& out) override;
    // Empties the stream, then writes the whole resource. False on a write error.
    bool WriteToStream(Stream& file) override;

    std::string name;
    std::vector<JobLevel> levels;
};

}  // namespace tw

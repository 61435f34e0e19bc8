// Decodes arbitrary bytes as a career track; what decodes must encode and decode to the same track.
#include "model/CareerTrack.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::CareerTrack track;
    if (!track.Decode(std::span<const std::uint8_t>(data, size))) return 0;
    std::vector<std::uint8_t> encoded;
    track.Encode(encoded);
    tw::CareerTrack again;
    if (!again.Decode(encoded)) __builtin_trap();
    if (again.name != track.name || again.levels != track.levels) __builtin_trap();
    std::vector<std::uint8_t> reencoded;
    again.Encode(reencoded);
    if (reencoded != encoded) __builtin_trap();
    return 0;
}

#pragma once

#include "iff/ResourceType.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tw {

// One chunk of a container: its header fields and, once loaded, its data.
struct ChunkRecord {
    static constexpr std::uint16_t NewFlags = 0x0010;

    // The chunk's data bytes: an allocation of exactly `size` bytes once loaded; empty data
    // allocates nothing.
    std::vector<std::uint8_t> data;
    ResourceType type = 0;
    std::uint32_t size = 0;  // data size: the header's size less 76
    std::uint16_t id = 0;
    std::uint16_t flags = NewFlags;
    std::string label;
    std::uint32_t dataOffset = 0;  // where the data begins in the attached file (header + 76)
    bool dataLoaded = false;
    bool headerLoaded = false;

    std::span<const std::uint8_t> Data() const { return {data.data(), data.size()}; }
};

}  // namespace tw

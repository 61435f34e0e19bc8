#pragma once

#include "iff/ResourceType.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tw::test {

// Builds container bytes by hand: the 64-byte header, then chunks back to back.
class IffBytes {
public:
    explicit IffBytes(const std::string& version = "2.5");

    // Appends a chunk; returns the offset of its header.
    std::uint32_t Chunk(ResourceType type, std::uint16_t id, const std::vector<std::uint8_t>& data,
                        const std::string& label = "", std::uint16_t flags = 0x0010);
    // Appends a resource map listing `entries` (type, id, header offset, flags, label) and points
    // header bytes 60 to 63 at it.
    struct MapEntry {
        ResourceType type;
        std::uint16_t id;
        std::uint32_t offset;
        std::uint16_t flags;
        std::string label;
    };
    void Map(const std::vector<MapEntry>& entries);
    void SetMapOffset(std::uint32_t offset);

    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> ToBytes(const std::string& text);

}  // namespace tw::test

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// Builds a FAR archive in memory, the counterpart of FARFile: for the sample installation and
// for tests. The editor itself reads the game's archives and never writes one.
//
// Layout (little-endian): "FAR!byAZ", u32 version 1, u32 directory offset; the entries' bytes
// one after another; then the directory: u32 entry count and per entry u32 size, u32 size
// again, u32 data offset, u32 name length and the name without a terminator.
class FARWriter {
public:
    // Adds an entry under `name` (backslashes between folder parts), after those added before.
    void Add(std::string name, std::vector<std::uint8_t> bytes);
    // The whole archive.
    std::vector<std::uint8_t> Bytes() const;

private:
    struct Entry {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Entry> entries_;
};

}  // namespace tw

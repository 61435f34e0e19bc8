#pragma once

#include <cstdint>
#include <vector>

namespace tw {

// The bytes of one archive entry. Copies of an entry share one FARData (through a shared
// pointer), so bytes read once serve every copy and are freed with the last of them.
struct FARData {
    // A zero-filled block of `byteCount` bytes; no block for a size of 0. Throws std::bad_alloc when
    // the memory cannot be had.
    explicit FARData(std::uint32_t byteCount) : size(byteCount), bytes(byteCount, 0) {}

    std::uint32_t size = 0;
    std::vector<std::uint8_t> bytes;
};

}  // namespace tw

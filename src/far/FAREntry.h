#pragma once

#include "far/FARData.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tw {

// One directory entry of a FAR archive.
//
// Stored as: u32 size, u32 second size, u32 data offset, u32 name length, then the name's bytes
// without a terminator (little-endian). The name may hold folders separated by backslashes.
struct FAREntry {
    std::string name;  // the stored name, up to its first NUL byte if it holds one
    std::uint32_t size = 0;
    std::uint32_t secondSize = 0;  // kept as read; it plays no part in reading
    std::uint32_t dataOffset = 0;  // 0 once the archive is closed: the bytes can no longer be read
    std::uint32_t nameLength = 0;  // as stored
    std::shared_ptr<FARData> data;  // absent until the entry's bytes have been read
};

}  // namespace tw

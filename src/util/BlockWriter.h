#pragma once

#include "util/Stream.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tw {

// Writes a file made of many small parts to a stream in a few large writes: the parts are
// collected into a block, and a full block goes to the stream in one write, so that no write but
// the last is smaller than half a block. What remains of a part as large as half a block once
// the block is full goes through without a copy. Nothing is written until a block fills or
// Finish; a stream that fails throws FileError out of the call that wrote to it.
class BlockWriter {
public:
    static constexpr std::size_t DefaultBlockSize = std::size_t{1} << 20;

    explicit BlockWriter(Stream& out, std::size_t blockSize = DefaultBlockSize);
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    void Put(std::span<const std::uint8_t> bytes);
    // Room for the next `count` bytes (at most half the block size), to be filled by the caller
    // at once; they count as written.
    std::uint8_t* Room(std::size_t count);
    // Writes what is collected.
    void Finish();

    std::size_t BlockSize() const { return block_.size(); }

private:
    Stream& out_;
    std::vector<std::uint8_t> block_;
    std::size_t used_ = 0;
};

}  // namespace tw

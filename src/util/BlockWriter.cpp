#include "util/BlockWriter.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace tw {

BlockWriter::BlockWriter(Stream& out, std::size_t blockSize) : out_(out), block_(blockSize) {}

void BlockWriter::Put(std::span<const std::uint8_t> bytes) {
    // What fits tops up the block; a full block goes out whole.
    if (used_ > 0) {
        const std::size_t take = std::min(bytes.size(), block_.size() - used_);
        if (take > 0) std::memcpy(block_.data() + used_, bytes.data(), take);
        used_ += take;
        bytes = bytes.subspan(take);
        if (used_ < block_.size()) return;
        Finish();
    }
    if (bytes.size() >= block_.size() / 2) {
        out_.Write(bytes);
        return;
    }
    if (!bytes.empty()) std::memcpy(block_.data(), bytes.data(), bytes.size());
    used_ = bytes.size();
}

std::uint8_t* BlockWriter::Room(std::size_t count) {
    assert(count <= block_.size() / 2);
    if (count > block_.size() - used_) Finish();
    std::uint8_t* room = block_.data() + used_;
    used_ += count;
    return room;
}

void BlockWriter::Finish() {
    if (used_ == 0) return;
    const std::size_t count = used_;
    // Emptied first: after a failed write the block is not written a second time.
    used_ = 0;
    out_.Write(std::span<const std::uint8_t>(block_.data(), count));
}

}  // namespace tw

#pragma once

#include "iff/ResourceType.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tw {

// One chunk of a container: its header fields and, once loaded, its data.
//
// The data are either the record's own bytes (data that were given to it) or a view of the bytes
// of the file that the container read in one piece, which the record then shares: a chunk that
// is never changed is kept, and written, as the bytes it was read as, without a copy of its own.
struct ChunkRecord {
    static constexpr std::uint16_t NewFlags = 0x0010;

    ResourceType type = 0;
    std::uint32_t size = 0;  // data size: the header's size less 76
    std::uint16_t id = 0;
    std::uint16_t flags = NewFlags;
    std::string label;
    std::uint32_t dataOffset = 0;  // where the data begins in the attached file (header + 76)
    bool dataLoaded = false;
    bool headerLoaded = false;

    ChunkRecord() = default;
    // The data may be a view into the record's own bytes: a copy would point into the original.
    ChunkRecord(const ChunkRecord&) = delete;
    ChunkRecord& operator=(const ChunkRecord&) = delete;

    std::span<const std::uint8_t> Data() const { return view_; }
    // Whether the data are a view of bytes shared with the container's file.
    bool SharesData() const { return shared_ != nullptr; }

    // The record's data become `bytes` (without a copy). The size field is the caller's.
    void TakeData(std::vector<std::uint8_t> bytes) {
        owned_ = std::move(bytes);
        shared_.reset();
        view_ = owned_;
    }
    // The record's data become `view`, which must lie in `bytes`; the record keeps them alive.
    void ShareData(std::shared_ptr<const std::uint8_t[]> bytes, std::span<const std::uint8_t> view) {
        owned_ = {};
        shared_ = std::move(bytes);
        view_ = view;
    }

private:
    std::vector<std::uint8_t> owned_;
    std::shared_ptr<const std::uint8_t[]> shared_;
    std::span<const std::uint8_t> view_;
};

}  // namespace tw

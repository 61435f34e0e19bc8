#pragma once

#include "iff/ChunkRecord.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tw {

// A chunk's handle: an index into the store; 0 means none.
using ChunkHandle = std::uint32_t;

// The store of every chunk record of every container that shares it.
//
// Entries are masters (link 0, owning a record and counting the entries that link to them) or
// links (standing for a master). Every handle handed out is a link entry, so a chunk is only
// reached through a handle. Entry 0 is never used; the array grows in steps of 64 entries.
// The application owns one store for its containers; tests make their own.
class ChunkStore {
public:
    static constexpr std::uint32_t GrowthStep = 64;

    ChunkStore();
    ChunkStore(const ChunkStore&) = delete;
    ChunkStore& operator=(const ChunkStore&) = delete;

    // Makes a new record (type 0, size 0, id 0, flags 0x0010) and returns its handle, or 0 when
    // the store cannot grow.
    ChunkHandle Create();
    // The record behind a handle, or null for 0, an index past the entries in use, or a handle
    // whose links end nowhere.
    ChunkRecord* Resolve(ChunkHandle handle) const;
    bool IsValid(ChunkHandle handle) const { return Resolve(handle) != nullptr; }
    // The entry's link (0 for a master or an invalid index).
    std::uint32_t MasterOf(ChunkHandle handle) const;
    // Takes the handle's reference from its master; the record is destroyed with the last one.
    void Release(ChunkHandle handle);

    std::uint32_t EntriesInUse() const { return static_cast<std::uint32_t>(entries_.size()); }
    std::size_t LiveRecords() const;

private:
    struct Entry {
        std::uint32_t link = 0;
        std::unique_ptr<ChunkRecord> record;
        std::uint32_t references = 0;
    };
    std::vector<Entry> entries_;
};

}  // namespace tw

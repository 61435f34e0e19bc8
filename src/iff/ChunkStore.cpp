#include "iff/ChunkStore.h"

#include <new>

namespace tw {

ChunkStore::ChunkStore() {
    entries_.reserve(GrowthStep);
    entries_.emplace_back();  // entry 0 is never used
}

ChunkHandle ChunkStore::Create() {
    try {
        if (entries_.size() + 2 > entries_.capacity()) entries_.reserve(entries_.capacity() + GrowthStep);
        const auto master = static_cast<std::uint32_t>(entries_.size());
        Entry owner;
        owner.record = std::make_unique<ChunkRecord>();
        owner.references = 1;
        entries_.push_back(std::move(owner));
        Entry link;
        link.link = master;
        entries_.push_back(std::move(link));
        return master + 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

ChunkRecord* ChunkStore::Resolve(ChunkHandle handle) const {
    if (handle == 0 || handle >= entries_.size()) return nullptr;
    const Entry* entry = &entries_[handle];
    // Links only ever point at masters, so the chain is short; the bound guards a corrupt one.
    for (int steps = 0; entry->link != 0 && steps < 4; ++steps) {
        if (entry->link >= entries_.size()) return nullptr;
        entry = &entries_[entry->link];
    }
    if (entry->link != 0) return nullptr;
    return entry->record.get();
}

std::uint32_t ChunkStore::MasterOf(ChunkHandle handle) const {
    if (handle == 0 || handle >= entries_.size()) return 0;
    return entries_[handle].link;
}

void ChunkStore::Release(ChunkHandle handle) {
    if (handle == 0 || handle >= entries_.size()) return;
    const std::uint32_t master = entries_[handle].link;
    entries_[handle].link = 0;
    if (master == 0 || master >= entries_.size() || !entries_[master].record) return;
    Entry& owner = entries_[master];
    if (owner.references > 0) --owner.references;
    // Every master has exactly one link (the handle made with it), cleared above.
    if (owner.references == 0) owner.record.reset();
}

std::size_t ChunkStore::LiveRecords() const {
    std::size_t count = 0;
    for (const auto& entry : entries_)
        if (entry.record) ++count;
    return count;
}

}  // namespace tw

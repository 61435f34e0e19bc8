#include "far/FARWriter.h"

#include "util/ByteWriter.h"

#include <utility>

namespace tw {

void FARWriter::Add(std::string name, std::vector<std::uint8_t> bytes) {
    entries_.push_back(Entry{std::move(name), std::move(bytes)});
}

std::vector<std::uint8_t> FARWriter::Bytes() const {
    ByteWriter out;
    out.PutText("FAR!byAZ");
    out.PutU32Le(1);
    out.PutU32Le(0);  // directory offset, patched below
    std::vector<std::uint32_t> offsets;
    for (const Entry& entry : entries_) {
        offsets.push_back(static_cast<std::uint32_t>(out.Size()));
        out.PutBytes(entry.bytes);
    }
    out.PatchU32Le(12, static_cast<std::uint32_t>(out.Size()));
    out.PutU32Le(static_cast<std::uint32_t>(entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto size = static_cast<std::uint32_t>(entries_[i].bytes.size());
        out.PutU32Le(size);
        out.PutU32Le(size);
        out.PutU32Le(offsets[i]);
        out.PutU32Le(static_cast<std::uint32_t>(entries_[i].name.size()));
        out.PutText(entries_[i].name);
    }
    return out.Take();
}

}  // namespace tw

#include "iff/IFFFile.h"

#include "util/BlockWriter.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/ReplaceFileWhole.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

namespace tw {
namespace {

// The header text of every container this program writes. Bytes 60 to 63 of the file are then
// overwritten by the map offset.
constexpr char WriterText[] = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE\0 QUORVELTASKINE & MAXIS 1996";
static_assert(sizeof WriterText == IFFFile::HeaderSize);

constexpr std::uint8_t MapPad = 0xA3;
constexpr std::size_t LabelField = 64;

// u32 type, u32 size (with this header), u16 id, u16 flags, then the label in a 64-byte field;
// big-endian. At most 63 characters of the label, so that the field always ends with a NUL.
void PutChunkHeader(std::uint8_t* out, ResourceType type, std::uint32_t dataSize, std::uint16_t id,
                    std::uint16_t flags, const std::string& label) {
    StoreU32Be(out, type);
    StoreU32Be(out + 4, dataSize + static_cast<std::uint32_t>(IFFFile::ChunkHeaderSize));
    StoreU32Be(out + 8, (std::uint32_t{id} << 16) | flags);
    const std::size_t length = std::min<std::size_t>(strnlen(label.c_str(), label.size()), LabelField - 1);
    std::memcpy(out + 12, label.data(), length);
    std::memset(out + 12 + length, 0, LabelField - length);
}

}  // namespace

bool IFFFile::PlanSave(SavePlan& plan) {
    std::memcpy(header_.data(), WriterText, HeaderSize);

    // Every chunk but an old map, in list order, back to back after the file header.
    bool oldMap = false;
    std::uint64_t end = HeaderSize;
    for (ChunkHandle handle : chunks_) {
        ChunkRecord* record = store_.Resolve(handle);
        if (record == nullptr) return false;
        if (record->type == TypeRSMP) {
            oldMap = true;
            continue;
        }
        if (!EnsureChunkLoaded(handle)) return false;
        if (end + ChunkHeaderSize + record->size > 0xFFFFFFFFu) return false;
        plan.offsets.emplace_back(record, static_cast<std::uint32_t>(end + ChunkHeaderSize));
        end += ChunkHeaderSize + record->size;
    }
    plan.mapStart = static_cast<std::uint32_t>(end);

    // The resource map: a chunk of its own after the last chunk, listing per type the loaded
    // chunks with their header offsets in this file, in list order.
    RebuildTypeList();
    std::unordered_map<ResourceType, std::vector<std::size_t>> byType;
    for (std::size_t i = 0; i < plan.offsets.size(); ++i) byType[plan.offsets[i].first->type].push_back(i);

    ByteWriter out;
    out.PutZeros(ChunkHeaderSize);
    out.PutU32Le(0);
    out.PutU32Le(0);
    out.PutText("pmsr");
    out.PutU32Le(0);  // the map's size, patched below
    out.PutU32Le(static_cast<std::uint32_t>(types_.size() - (oldMap ? 1 : 0)));
    for (ResourceType type : types_) {
        if (type == TypeRSMP) continue;
        const std::vector<std::size_t>& chunks = byType[type];
        out.PutU32Le(type);
        out.PutU32Le(static_cast<std::uint32_t>(chunks.size()));
        for (std::size_t i : chunks) {
            const auto& [record, dataOffset] = plan.offsets[i];
            out.PutU32Le(dataOffset - static_cast<std::uint32_t>(ChunkHeaderSize));
            out.PutU16Le(record->id);
            out.PutU16Le(record->flags);
            out.PutCString(record->label);
            if (out.Size() % 2 == 1) out.PutU8(MapPad);
        }
    }
    const auto mapSize = static_cast<std::uint32_t>(out.Size());
    plan.map = out.Take();
    PutChunkHeader(plan.map.data(), TypeRSMP, mapSize - static_cast<std::uint32_t>(ChunkHeaderSize), 0,
                   ChunkRecord::NewFlags, "");
    StoreU32Le(plan.map.data() + ChunkHeaderSize + 12, mapSize);
    return true;
}

void IFFFile::WriteContainer(Stream& target, const SavePlan& plan) const {
    BlockWriter out(target);
    std::uint8_t* header = out.Room(HeaderSize);
    std::memcpy(header, header_.data(), HeaderSize);
    StoreU32Be(header + 60, plan.mapStart);
    for (const auto& [record, dataOffset] : plan.offsets) {
        PutChunkHeader(out.Room(ChunkHeaderSize), record->type, record->size, record->id, record->flags, record->label);
        out.Put(record->Data());
    }
    out.Put(plan.map);
    out.Finish();
}

Status IFFFile::SaveIFFFile(Stream* target) {
    SavePlan plan;
    try {
        if (target == nullptr && !file_) return Failure("the container has no file to write to");
        if (!PlanSave(plan)) return Failure("a chunk cannot be read", ErrorKind::Damaged);
    } catch (const std::bad_alloc&) {
        return Failure("not enough memory", ErrorKind::System);
    }

    auto writeTo = [this, &plan](Stream& stream) {
        stream.Truncate(0);
        stream.Seek(0);
        WriteContainer(stream, plan);
        return true;
    };
    bool replacedAttached = false;
    try {
        if (target != nullptr) {
            writeTo(*target);
        } else if (auto* held = dynamic_cast<FileStream*>(file_.get()); held != nullptr && !held->Path().empty()) {
            if (Status replaced = ReplaceFileWhole(held->Path(), writeTo, held); !replaced) return replaced;
            replacedAttached = true;
        } else {
            writeTo(*file_);
            replacedAttached = true;
        }
    } catch (const FileError& e) {
        return Failure(e.what(), ErrorKind::System);
    } catch (const std::bad_alloc&) {
        return Failure("not enough memory", ErrorKind::System);
    }
    // The records now live in the written file (the attached one too, when that was the target).
    for (auto& [record, offset] : plan.offsets) record->dataOffset = offset;
    if (replacedAttached) {
        // The bytes read at opening are the old file's; loaded chunks keep their share of them.
        bytes_.reset();
        bytesSize_ = 0;
        try {
            fileLength_ = file_->Length();
        } catch (const FileError&) {
            fileLength_ = 0;
        }
    }
    return {};
}

}  // namespace tw

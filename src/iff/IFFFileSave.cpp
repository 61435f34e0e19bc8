#include "iff/IFFFile.h"

#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/ReplaceFileWhole.h"

#include <cstring>
#include <new>

namespace tw {
namespace {

// The header text of every container this program writes. Bytes 60 to 63 of the file are then
// overwritten by the map offset.
constexpr char WriterText[] = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE\0 QUORVELTASKINE & MAXIS 1996";
static_assert(sizeof WriterText == IFFFile::HeaderSize);

constexpr std::uint8_t MapPad = 0xA3;

void PutChunkHeader(ByteWriter& out, ResourceType type, std::uint32_t dataSize, std::uint16_t id,
                    std::uint16_t flags, const std::string& label) {
    out.PutU32Be(type);
    out.PutU32Be(dataSize + static_cast<std::uint32_t>(IFFFile::ChunkHeaderSize));
    out.PutU16Be(id);
    out.PutU16Be(flags);
    // At most 63 characters, so that the 64-byte field always ends with a NUL.
    const std::size_t length = std::min<std::size_t>(strnlen(label.c_str(), label.size()), 63);
    out.PutText(std::string_view(label.data(), length));
    out.PutZeros(64 - length);
}

}  // namespace

bool IFFFile::WriteContainer(std::vector<std::uint8_t>& bytes,
                             std::vector<std::pair<ChunkRecord*, std::uint32_t>>& offsets) {
    std::memcpy(header_.data(), WriterText, HeaderSize);
    ByteWriter out;
    out.PutBytes(header_);

    bool oldMap = false;
    for (ChunkHandle handle : chunks_) {
        ChunkRecord* record = store_.Resolve(handle);
        if (record == nullptr) return false;
        if (record->type == TypeRSMP) {
            oldMap = true;
            continue;
        }
        if (!EnsureChunkLoaded(handle)) return false;
        if (out.Size() + ChunkHeaderSize + record->size > 0xFFFFFFFFu) return false;
        offsets.emplace_back(record, static_cast<std::uint32_t>(out.Size() + ChunkHeaderSize));
        PutChunkHeader(out, record->type, record->size, record->id, record->flags, record->label);
        out.PutBytes(record->Data());
    }

    // The resource map: a chunk of its own after the last chunk, listing per type the loaded
    // chunks with their header offsets in this file, in list order.
    RebuildTypeList();
    const std::size_t mapStart = out.Size();
    out.PatchU32Be(60, static_cast<std::uint32_t>(mapStart));
    PutChunkHeader(out, TypeRSMP, 0, 0, ChunkRecord::NewFlags, "");
    out.PutU32Le(0);
    out.PutU32Le(0);
    out.PutText("pmsr");
    out.PutU32Le(0);  // the map's size, patched below
    out.PutU32Le(static_cast<std::uint32_t>(types_.size() - (oldMap ? 1 : 0)));
    std::size_t next = 0;
    for (ResourceType type : types_) {
        if (type == TypeRSMP) continue;
        out.PutU32Le(type);
        out.PutU32Le(CountChunksOfType(type, true));
        for (ChunkHandle handle : chunks_) {
            const ChunkRecord* record = store_.Resolve(handle);
            if (record == nullptr || record->type != type || !record->dataLoaded) continue;
            // Chunks were written in list order, so their offsets come in the same order.
            std::uint32_t dataOffset = 0;
            for (std::size_t i = 0; i < offsets.size(); ++i) {
                const std::size_t k = (next + i) % offsets.size();
                if (offsets[k].first == record) {
                    dataOffset = offsets[k].second;
                    next = k + 1;
                    break;
                }
            }
            out.PutU32Le(dataOffset - static_cast<std::uint32_t>(ChunkHeaderSize));
            out.PutU16Le(record->id);
            out.PutU16Le(record->flags);
            out.PutCString(record->label);
            if ((out.Size() - mapStart) % 2 == 1) out.PutU8(MapPad);
        }
    }
    const auto mapSize = static_cast<std::uint32_t>(out.Size() - mapStart);
    out.PatchU32Le(mapStart + ChunkHeaderSize + 12, mapSize);
    out.PatchU32Be(mapStart + 4, mapSize);
    bytes = out.Take();
    return true;
}

bool IFFFile::SaveIFFFile(Stream* target, std::string* error) {
    std::vector<std::uint8_t> bytes;
    std::vector<std::pair<ChunkRecord*, std::uint32_t>> offsets;
    try {
        if (target == nullptr && !file_) return false;
        if (!WriteContainer(bytes, offsets)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }

    auto writeTo = [&bytes](Stream& stream) {
        stream.Truncate(0);
        stream.Seek(0);
        stream.Write(bytes);
        return true;
    };
    if (target != nullptr) {
        try {
            writeTo(*target);
        } catch (const FileError& e) {
            if (error != nullptr) *error = e.what();
            return false;
        }
    } else if (auto* held = dynamic_cast<FileStream*>(file_.get()); held != nullptr && !held->Path().empty()) {
        if (!ReplaceFileWhole(held->Path(), writeTo, error, held)) return false;
    } else {
        try {
            writeTo(*file_);
        } catch (const FileError& e) {
            if (error != nullptr) *error = e.what();
            return false;
        }
    }
    // The records now live in the written file (the attached one too, when that was the target).
    for (auto& [record, offset] : offsets) record->dataOffset = offset;
    if (target == nullptr) {
        try {
            fileLength_ = file_->Length();
        } catch (const FileError&) {
            fileLength_ = 0;
        }
    }
    return true;
}

}  // namespace tw

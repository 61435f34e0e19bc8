#include "model/GameResource.h"

#include "iff/IFFFile.h"
#include "util/FileError.h"
#include "util/MemoryStream.h"

#include <new>

namespace tw {

bool GameResource::LoadFromIFF(IFFFile&, ChunkHandle) { return false; }
bool GameResource::SaveToIFF(IFFFile&) { return false; }
bool GameResource::LoadFromStream(Stream&) { return false; }
bool GameResource::WriteToStream(Stream&) { return false; }

bool GameResource::ReadChunk(IFFFile& container, ChunkHandle chunk, std::vector<std::uint8_t>& out) {
    handle = chunk;
    if (container.Store().Resolve(chunk) == nullptr) return false;
    if (!container.EnsureChunkLoaded(chunk)) return false;
    // Loading may have read the header, so the size is taken only now.
    const ChunkRecord* record = container.Store().Resolve(chunk);
    try {
        out.assign(record->size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return container.ReadChunkData(chunk, out.data());
}

bool GameResource::ReadWholeStream(Stream& file, std::vector<std::uint8_t>& out) {
    try {
        const std::uint64_t length = file.Length();
        out = file.ReadAll();
        // A stream that gives fewer bytes than its length is a failed read, not shorter data.
        if (out.size() != length) return false;
    } catch (const FileError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool GameResource::ReplaceRememberedChunk(IFFFile& container) {
    const ChunkRecord* record = container.Store().Resolve(handle);
    if (record == nullptr) return false;
    // Copied first: replacing the data may touch the record.
    const ResourceType type = record->type;
    const std::uint16_t id = record->id;
    MemoryStream encoded;
    if (!WriteToStream(encoded)) return false;
    return container.ReplaceChunkData(type, id, encoded);
}

}  // namespace tw

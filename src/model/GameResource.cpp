#include "model/GameResource.h"

#include "iff/IFFFile.h"
#include "util/FileError.h"

#include <new>

namespace tw {

bool GameResource::LoadFromIFF(IFFFile& container, ChunkHandle chunk) {
    handle = chunk;
    if (container.Store().Resolve(chunk) == nullptr || !container.EnsureChunkLoaded(chunk)) return false;
    // Loading may have read the header, so the record is looked at only now.
    return Decode(container.Store().Resolve(chunk)->Data());
}

bool GameResource::SaveToIFF(IFFFile& container) {
    const ChunkRecord* record = container.Store().Resolve(handle);
    if (record == nullptr) return false;
    // Copied first: replacing the data may touch the record.
    const ResourceType type = record->type;
    const std::uint16_t id = record->id;
    std::vector<std::uint8_t> bytes;
    try {
        if (!Encode(bytes)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return container.ReplaceChunkData(type, id, std::move(bytes));
}

bool GameResource::LoadFromStream(Stream& file) {
    std::vector<std::uint8_t> data;
    try {
        const std::uint64_t length = file.Length();
        data = file.ReadAll();
        // A stream that gives fewer bytes than its length is a failed read, not shorter data.
        if (data.size() != length) return false;
    } catch (const FileError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return Decode(data);
}

bool GameResource::WriteToStream(Stream& file) {
    std::vector<std::uint8_t> bytes;
    try {
        if (!Encode(bytes)) return false;
        file.Write(bytes);
    } catch (const FileError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace tw

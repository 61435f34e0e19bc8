#pragma once

#include "iff/ChunkStore.h"

#include <cstdint>
#include <vector>

namespace tw {

class IFFFile;
class Stream;

// The base of every game resource that the editor decodes and encodes: string tables, career
// tracks and behaviours. The base operations do nothing and return false.
class GameResource {
public:
    virtual ~GameResource() = default;

    // Remembers `chunk`, reads its data from `container` and decodes it. False when the chunk
    // cannot be read or its data are malformed.
    virtual bool LoadFromIFF(IFFFile& container, ChunkHandle chunk);
    // Encodes the resource and makes it the new data of the remembered chunk. False when the
    // remembered chunk no longer resolves or the container refuses the data.
    virtual bool SaveToIFF(IFFFile& container);
    // Decodes the whole content of `file`, read from its start; the remembered chunk is kept.
    // False on a read error or malformed data.
    virtual bool LoadFromStream(Stream& file);
    // Encodes the resource into `file`. False on a write error.
    virtual bool WriteToStream(Stream& file);

    // The chunk given to the last LoadFromIFF; 0 before.
    ChunkHandle handle = 0;

protected:
    GameResource() = default;
    GameResource(const GameResource&) = default;
    GameResource& operator=(const GameResource&) = default;
    GameResource(GameResource&&) = default;
    GameResource& operator=(GameResource&&) = default;

    // Remembers `chunk` and copies its data into `out`. False when the chunk does not resolve or
    // its data cannot be read.
    bool ReadChunk(IFFFile& container, ChunkHandle chunk, std::vector<std::uint8_t>& out);
    // The whole content of `file`; false on a read error.
    static bool ReadWholeStream(Stream& file, std::vector<std::uint8_t>& out);
    // Encodes through WriteToStream into a memory stream and replaces the remembered chunk's data.
    bool ReplaceRememberedChunk(IFFFile& container);
};

}  // namespace tw

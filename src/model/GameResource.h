#pragma once

#include "iff/ChunkStore.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tw {

class IFFFile;
class Stream;

// The base of every game resource that the editor decodes and encodes: string tables, career
// tracks and behaviours. Each kind decodes from a view of its data and encodes into bytes; the
// base moves those bytes between the resource and a container's chunk or a stream.
class GameResource {
public:
    virtual ~GameResource() = default;

    // Decodes resource data. False for malformed data; what each kind keeps of a failed decode
    // is said with it.
    virtual bool Decode(std::span<const std::uint8_t> data) = 0;
    // The resource data. False when the resource cannot be encoded (a count beyond its field);
    // `out` is then unspecified.
    virtual bool Encode(std::vector<std::uint8_t>& out) = 0;

    // Remembers `chunk` and decodes its data where the container holds them. False when the
    // chunk cannot be read or its data are malformed.
    bool LoadFromIFF(IFFFile& container, ChunkHandle chunk);
    // Encodes the resource and makes it the new data of the remembered chunk. False when the
    // remembered chunk no longer resolves or the container refuses the data.
    bool SaveToIFF(IFFFile& container);
    // Decodes the whole content of `file`, read from its start; the remembered chunk is kept.
    // False on a read error or malformed data.
    bool LoadFromStream(Stream& file);
    // Encodes the resource into `file` at its position. False on a write error.
    virtual bool WriteToStream(Stream& file);

    // The chunk given to the last LoadFromIFF; 0 before.
    ChunkHandle handle = 0;

protected:
    GameResource() = default;
    GameResource(const GameResource&) = default;
    GameResource& operator=(const GameResource&) = default;
    GameResource(GameResource&&) = default;
    GameResource& operator=(GameResource&&) = default;

};

}  // namespace tw

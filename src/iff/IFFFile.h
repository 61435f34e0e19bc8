#pragma once

#include "iff/ChunkProblem.h"
#include "iff/ChunkStore.h"
#include "iff/ResourceType.h"
#include "util/Error.h"
#include "util/Stream.h"

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tw {

// One IFF container in memory: an ordered list of chunks, the distinct types in order of first
// appearance, and an attached file from which chunk data is read lazily.
//
// Opening reads the attached file in one piece (unless it is too large to hold at once); a
// chunk's data, once loaded, is then a view of those bytes, and stays one until the chunk is
// given new data. Lookups by type and id go through an index of the chunk list.
//
// Layout: a 64-byte header ("IFF FILE" at 0, version "2.0" or "2.5" at 9, the big-endian offset
// of the resource map at 60), then chunks, each a 76-byte big-endian header (type, size
// including the header, id, flags, 64-byte label) followed by its data.
class IFFFile {
public:
    using ChunkList = std::list<ChunkHandle>;
    // A position in the chunk list; NoPosition() is "none".
    using ChunkPosition = ChunkList::iterator;

    // Error codes of OpenIFFFile.
    static constexpr int ErrorNotIFF = 3;
    static constexpr int ErrorBadVersion = 4;
    static constexpr int ErrorNoFile = 5;

    static constexpr std::size_t HeaderSize = 64;
    static constexpr std::size_t ChunkHeaderSize = 76;
    static constexpr std::uint32_t MaxChunkSize = 0x40000000;

    explicit IFFFile(ChunkStore& store);
    ~IFFFile();
    IFFFile(const IFFFile&) = delete;
    IFFFile& operator=(const IFFFile&) = delete;

    ChunkStore& Store() const { return store_; }

    // Keeps a duplicate of the open `file` (closing any attached one) and records its length.
    void AttachFile(const Stream& file);
    void CloseFile();
    Stream* AttachedFile() const { return file_.get(); }

    // Drops every chunk and both lists; the header holds the reader's text again.
    void Clear();

    // Reads the chunk list from the attached file: the chunks' data are not loaded yet.
    // Returns false with `error` 5 (no file), 3 (not "IFF FILE") or 4 (version neither 2.0 nor
    // 2.5). A damaged map or chunk sequence is not an error: the chunks read before it stay, and
    // what cannot be read is named in Problems().
    bool OpenIFFFile(int* error = nullptr, bool readHeadersNow = true);
    // What the last OpenIFFFile and LoadAllChunks found that cannot be read as listed: a map
    // entry whose header lies past the end of the file or names another chunk, a chunk whose
    // data run past the end or overlap another chunk, bytes that belong to no chunk, a chunk
    // whose data cannot be read. Callers add what does not decode (AddProblem).
    const std::vector<ChunkProblem>& Problems() const { return problems_; }
    void AddProblem(ChunkProblem problem) { problems_.push_back(std::move(problem)); }
    // Whether a save writes everything the file held: no problem that a save would lose.
    bool KeptWholeBySave() const;
    // Why the last OpenIFFFile failed, in words (with the system's reason when reading failed);
    // empty after a successful open.
    const std::string& OpenProblem() const { return openProblem_; }
    // (byte 9 - '0') * 10 + (byte 11 - '0'): 20 or 25 after a successful open.
    int GetVersion() const;
    const std::array<std::uint8_t, HeaderSize>& Header() const { return header_; }

    bool FindChunk(ChunkHandle& out, ResourceType type, std::uint16_t id);
    ChunkPosition FindChunkPosition(ChunkHandle& out, ResourceType type, std::uint16_t id);
    ChunkPosition FirstChunkOfType(ResourceType type);
    // The handle at `position`; `position` moves on to the next chunk of the same type or none.
    ChunkHandle NextChunkOfType(ChunkPosition& position);
    // The chunk of `type` with the smallest id (first in list order among equals), or none.
    ChunkPosition LowestIdChunk(ResourceType type);
    // Moves to the chunk of the same type with the next greater id, or none.
    void NextHigherIdChunk(ChunkPosition& position);
    ChunkPosition NoPosition() { return chunks_.end(); }
    ChunkHandle HandleAt(ChunkPosition position) const { return *position; }
    std::uint32_t CountChunksOfType(ResourceType type, bool onlyLoaded) const;

    static bool IsChunkLoaded(const ChunkRecord& record) { return record.dataLoaded; }
    // Reads the chunk's header and data if not yet read; false when the file cannot give them.
    bool EnsureChunkLoaded(ChunkHandle handle);
    // True when every chunk of the list loads. Each chunk that does not is named in Problems().
    bool LoadAllChunks();
    // Copies the chunk's data into `destination`, which must hold record.size bytes.
    bool ReadChunkData(ChunkHandle handle, std::uint8_t* destination);
    // Writes the chunk's data at the stream's position.
    bool WriteChunkData(ChunkHandle handle, Stream& stream);
    bool WriteChunkData(ResourceType type, std::uint16_t id, Stream& stream);
    // The chunk's data becomes the stream's whole content; false when there is no such chunk.
    bool ReplaceChunkData(ResourceType type, std::uint16_t id, Stream& stream);
    // The same with the data given as bytes, which the chunk takes over without a copy.
    bool ReplaceChunkData(ResourceType type, std::uint16_t id, std::vector<std::uint8_t> data);
    // Appends a new chunk (flags 0x0010) holding the stream's whole content. An existing chunk
    // with the same key is not looked for; lookups keep finding the earlier one.
    bool AddChunk(ResourceType type, std::uint16_t id, const std::string& label, Stream& stream);
    bool AddChunk(ResourceType type, std::uint16_t id, const std::string& label, std::vector<std::uint8_t> data);
    bool DeleteChunk(ResourceType type, std::uint16_t id);

    // Writes the whole container with a fresh resource map into `target` (truncated first), or,
    // with none, over the attached file. Over an attached file on disk the old file is replaced
    // whole only after the new one is complete, so a failure leaves it as it was; afterwards the
    // container reads from the new file. Fails, saying why, on a chunk that cannot be loaded, a
    // write error (the system's description) or no target.
    Status SaveIFFFile(Stream* target = nullptr);

    const ChunkList& Chunks() const { return chunks_; }
    const std::vector<ResourceType>& Types() const { return types_; }

private:
    struct ChunkHeader {
        ResourceType type = 0;
        std::uint32_t size = 0;  // whole chunk, header included
        std::uint16_t id = 0;
        std::uint16_t flags = 0;
        std::string label;
    };

    // A file larger than this is not read in one piece.
    static constexpr std::uint64_t MaxWholeFile = MaxChunkSize;

    void ReadWholeFile();
    // `count` bytes of the attached file at `position`: a view of the bytes read at opening, or
    // read now into `scratch`. Empty and false when the file does not hold them.
    bool FileBytesAt(std::uint64_t position, std::size_t count, std::vector<std::uint8_t>& scratch,
                     std::span<const std::uint8_t>& out);
    bool ReadHeaderAt(std::uint64_t position, ChunkHeader& header);
    static void TakeHeader(ChunkRecord& record, const ChunkHeader& header);
    // Reads the map's entries into `found`, and the map chunk's own extent (start, end) into
    // `mapExtent`.
    void ReadResourceMap(bool readHeadersNow, std::vector<ChunkHandle>& found,
                         std::pair<std::uint64_t, std::uint64_t>& mapExtent);
    // Names the chunks that overlap, and the bytes of the file that belong to no chunk.
    void CheckExtents(std::pair<std::uint64_t, std::uint64_t> mapExtent);
    void CheckStrayBytes(std::uint64_t from, std::uint64_t to);
    void AddProblem(const ChunkRecord& record, std::string reason, bool keptBySave);
    void RebuildTypeList();
    void UpdateTypeList(ResourceType type);
    // Where a save puts every chunk, and the new map.
    struct SavePlan {
        std::vector<std::pair<ChunkRecord*, std::uint32_t>> offsets;  // data offsets in the new file
        std::uint32_t mapStart = 0;
        std::vector<std::uint8_t> map;  // the whole map chunk, header included
    };
    bool PlanSave(SavePlan& plan);
    void WriteContainer(Stream& target, const SavePlan& plan) const;
    // The index: kept for every change of the chunk list while `indexed_` holds.
    void IndexAppended(ChunkPosition position);
    void IndexErasing(ChunkPosition position);
    bool HasType(ResourceType type) const;

    ChunkStore& store_;
    ChunkList chunks_;
    std::vector<ResourceType> types_;
    std::unique_ptr<Stream> file_;
    std::uint64_t fileLength_ = 0;
    std::string openProblem_;
    std::vector<ChunkProblem> problems_;
    // Where the chunks lie that the scan leaves out by their flag (start, end).
    std::vector<std::pair<std::uint64_t, std::uint64_t>> skipped_;
    std::array<std::uint8_t, HeaderSize> header_{};
    // The attached file's bytes as OpenIFFFile read them (none when it was too large); loaded
    // chunks share them.
    std::shared_ptr<const std::uint8_t[]> bytes_;
    std::size_t bytesSize_ = 0;

    // Per key (type and id, see Key): the first chunk with it in list order and how many have it.
    struct Keyed {
        ChunkPosition first;
        std::uint32_t count = 1;
    };
    std::map<std::uint64_t, Keyed> index_;
    // False after an open that left headers unread: a record's key may still change when its
    // header is read, so lookups walk the list instead.
    bool indexed_ = true;
};

}  // namespace tw

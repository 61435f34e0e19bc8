#include "iff/IFFFile.h"

#include "util/ByteReader.h"
#include "util/FileError.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <optional>

namespace tw {
namespace {

// What a new or cleared container holds in its header buffer.
constexpr char ReaderText[] = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE\0 QUORVELTASKINX & MAXIS 1";

std::uint64_t Key(ResourceType type, std::uint16_t id) { return (static_cast<std::uint64_t>(type) << 16) | id; }

}  // namespace

IFFFile::IFFFile(ChunkStore& store) : store_(store) { Clear(); }

IFFFile::~IFFFile() {
    Clear();
    CloseFile();
}

void IFFFile::AttachFile(const Stream& file) {
    CloseFile();
    file_ = file.Duplicate();
    try {
        fileLength_ = file_->Length();
    } catch (const FileError&) {
        fileLength_ = 0;
    }
}

void IFFFile::CloseFile() {
    file_.reset();
    fileLength_ = 0;
    // Chunks that were loaded keep their share of the bytes; no more are read from them.
    bytes_.reset();
    bytesSize_ = 0;
}

void IFFFile::Clear() {
    for (ChunkHandle handle : chunks_) store_.Release(handle);
    chunks_.clear();
    types_.clear();
    index_.clear();
    indexed_ = true;
    problems_.clear();
    skipped_.clear();
    header_.fill(0);
    std::memcpy(header_.data(), ReaderText, sizeof ReaderText - 1);
}

int IFFFile::GetVersion() const { return (header_[9] - '0') * 10 + (header_[11] - '0'); }

void IFFFile::ReadWholeFile() {
    bytes_.reset();
    bytesSize_ = 0;
    if (!file_ || fileLength_ > MaxWholeFile) return;
    try {
        const auto length = static_cast<std::size_t>(fileLength_);
        std::shared_ptr<std::uint8_t[]> bytes = std::make_shared_for_overwrite<std::uint8_t[]>(length);
        file_->Seek(0);
        // A file that shrank since it was attached is held as far as it goes.
        bytesSize_ = file_->Read(std::span<std::uint8_t>(bytes.get(), length));
        bytes_ = std::move(bytes);
    } catch (const FileError&) {
        bytesSize_ = 0;
    } catch (const std::bad_alloc&) {
        // Read piece by piece instead.
        bytesSize_ = 0;
    }
}

bool IFFFile::FileBytesAt(std::uint64_t position, std::size_t count, std::vector<std::uint8_t>& scratch,
                          std::span<const std::uint8_t>& out) {
    out = {};
    if (bytes_) {
        if (position > bytesSize_ || count > bytesSize_ - position) return false;
        out = std::span<const std::uint8_t>(bytes_.get() + position, count);
        return true;
    }
    if (!file_) return false;
    try {
        scratch.resize(count);
        file_->Seek(static_cast<std::int64_t>(position));
        if (file_->Read(scratch) != count) return false;
    } catch (const FileError&) {
        return false;
    }
    out = scratch;
    return true;
}

bool IFFFile::ReadHeaderAt(std::uint64_t position, ChunkHeader& header) {
    std::vector<std::uint8_t> scratch;
    std::span<const std::uint8_t> bytes;
    if (!FileBytesAt(position, ChunkHeaderSize, scratch, bytes)) return false;
    // u32 type, u32 size (with this header), u16 id, u16 flags, 64-byte NUL-ended label; big-endian.
    header.type = LoadU32Be(&bytes[0]);
    header.size = LoadU32Be(&bytes[4]);
    header.id = LoadU16Be(&bytes[8]);
    header.flags = LoadU16Be(&bytes[10]);
    const auto* label = reinterpret_cast<const char*>(&bytes[12]);
    header.label.assign(label, strnlen(label, 64));
    return true;
}

void IFFFile::TakeHeader(ChunkRecord& record, const ChunkHeader& header) {
    record.type = header.type;
    record.size = header.size >= ChunkHeaderSize ? header.size - static_cast<std::uint32_t>(ChunkHeaderSize) : 0;
    record.id = header.id;
    record.flags = header.flags;
    record.label = header.label;
    record.headerLoaded = true;
}

void IFFFile::AddProblem(const ChunkRecord& record, std::string reason, bool keptBySave) {
    problems_.push_back({record.type, record.id, record.label, std::move(reason), keptBySave});
}

bool IFFFile::KeptWholeBySave() const {
    return std::all_of(problems_.begin(), problems_.end(), [](const ChunkProblem& p) { return p.keptBySave; });
}

void IFFFile::ReadResourceMap(bool readHeadersNow, std::vector<ChunkHandle>& found,
                              std::pair<std::uint64_t, std::uint64_t>& mapExtent) {
    const std::uint32_t mapOffset = LoadU32Be(&header_[60]);
    if (mapOffset == 0) return;
    ChunkHeader mapHeader;
    if (!ReadHeaderAt(mapOffset, mapHeader) || mapHeader.type != TypeRSMP || mapHeader.size < ChunkHeaderSize)
        return;
    const std::uint64_t dataOffset = static_cast<std::uint64_t>(mapOffset) + ChunkHeaderSize;
    const std::uint64_t dataSize = mapHeader.size - ChunkHeaderSize;
    if (dataOffset > fileLength_ || dataSize > fileLength_ - dataOffset) return;
    std::vector<std::uint8_t> scratch;
    std::span<const std::uint8_t> data;
    if (!FileBytesAt(dataOffset, static_cast<std::size_t>(dataSize), scratch, data)) return;
    mapExtent = {mapOffset, dataOffset + dataSize};

    // u32 0, u32 0, "pmsr", u32 map size, u32 type count; then per type: u32 type, u32 count,
    // entries of u32 offset, u16 id, u16 flags, label with NUL, pad to an even offset.
    ByteReader map(data);
    map.Seek(16);
    const std::uint32_t typeCount = map.U32Le();
    if (!map.Ok() || typeCount == 0) return;
    for (std::uint32_t t = 0; t < typeCount; ++t) {
        const ResourceType type = map.U32Le();
        const std::uint32_t entryCount = map.U32Le();
        if (!map.Ok()) return;
        for (std::uint32_t e = 0; e < entryCount; ++e) {
            const std::uint32_t offset = map.U32Le();
            const std::uint16_t id = map.U16Le();
            const std::uint16_t flags = map.U16Le();
            std::string label = map.CString();
            if (!map.Ok()) return;  // an entry running past the map's data ends the map
            if (map.Offset() % 2 == 1) map.Skip(1);

            const ChunkHandle handle = store_.Create();
            ChunkRecord* record = store_.Resolve(handle);
            if (record == nullptr) return;
            record->type = type;
            record->id = id;
            record->flags = flags;
            record->label = std::move(label);
            record->dataOffset = offset + static_cast<std::uint32_t>(ChunkHeaderSize);
            if (readHeadersNow) {
                const std::string at = "the resource map places it at offset " + std::to_string(offset);
                ChunkHeader header;
                if (!ReadHeaderAt(offset, header)) {
                    AddProblem(*record, at + ", past the end of the file", false);
                    store_.Release(handle);
                    continue;
                }
                if (header.size < ChunkHeaderSize || header.size > MaxChunkSize) {
                    AddProblem(*record, at + ", where the chunk header gives an impossible size (" +
                                            std::to_string(header.size) + " bytes)", false);
                    store_.Release(handle);
                    continue;
                }
                // The chunk there is what its own header says; the map is written anew by a save.
                if (header.type != type || header.id != id)
                    AddProblem(*record, at + ", where the chunk header names " + TypeName(header.type) + " " +
                                            std::to_string(header.id), true);
                TakeHeader(*record, header);
            }
            found.push_back(handle);
            if (!map.Ok()) return;
        }
    }
}

void IFFFile::CheckExtents(std::pair<std::uint64_t, std::uint64_t> mapExtent) {
    struct Extent {
        std::uint64_t start;
        std::uint64_t end;
        const ChunkRecord* record;  // none for the map read at opening
    };
    std::vector<Extent> extents;
    for (ChunkHandle handle : chunks_) {
        const ChunkRecord* record = store_.Resolve(handle);
        if (record == nullptr || !record->headerLoaded || record->dataOffset < ChunkHeaderSize) continue;
        const std::uint64_t start = record->dataOffset - ChunkHeaderSize;
        std::uint64_t end = static_cast<std::uint64_t>(record->dataOffset) + record->size;
        if (end > fileLength_) {
            AddProblem(*record, "its data (" + std::to_string(record->size) + " bytes at offset " +
                                    std::to_string(record->dataOffset) + ") run past the end of the file", false);
            end = fileLength_;
        }
        extents.push_back({start, end, record});
    }
    for (const auto& [start, end] : skipped_) extents.push_back({start, end, nullptr});
    if (mapExtent.second > mapExtent.first) extents.push_back({mapExtent.first, mapExtent.second, nullptr});
    std::sort(extents.begin(), extents.end(),
              [](const Extent& a, const Extent& b) { return a.start != b.start ? a.start < b.start : a.end < b.end; });

    std::uint64_t covered = HeaderSize;
    const Extent* furthest = nullptr;
    for (const Extent& extent : extents) {
        // The same bytes seen twice (the map, found by the scan too) are one chunk.
        const bool same = furthest != nullptr && extent.start == furthest->start && extent.end == furthest->end;
        if (extent.start < covered && furthest != nullptr && !same) {
            const ChunkRecord* other = furthest->record;
            const std::string with = other != nullptr ? TypeName(other->type) + " " + std::to_string(other->id)
                                                      : std::string("the resource map");
            if (extent.record != nullptr)
                AddProblem(*extent.record, "it overlaps " + with + " (offset " + std::to_string(extent.start) + ")",
                           false);
            else
                problems_.push_back({TypeRSMP, 0, {}, "the resource map overlaps " + with, false});
        } else if (extent.start > covered) {
            CheckStrayBytes(covered, extent.start);
        }
        if (extent.end > covered) {
            covered = extent.end;
            furthest = &extent;
        }
    }
    if (covered < fileLength_) CheckStrayBytes(covered, fileLength_);
}

void IFFFile::CheckStrayBytes(std::uint64_t from, std::uint64_t to) {
    // Zeros between or after chunks are padding; anything else is part of the file that no
    // chunk holds, and a save would drop it.
    constexpr std::size_t Piece = 1 << 16;
    std::vector<std::uint8_t> scratch;
    bool zeros = true;
    for (std::uint64_t at = from; at < to && zeros; at += Piece) {
        std::span<const std::uint8_t> bytes;
        if (!FileBytesAt(at, static_cast<std::size_t>(std::min<std::uint64_t>(Piece, to - at)), scratch, bytes)) {
            zeros = false;
            break;
        }
        zeros = std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
    }
    if (zeros) return;
    ChunkProblem problem;
    problem.reason = "the bytes from offset " + std::to_string(from) + " to " + std::to_string(to) +
                     " belong to no chunk that can be read";
    problem.keptBySave = false;
    ChunkHeader header;
    if (ReadHeaderAt(from, header)) {
        // Most likely a chunk whose header was damaged: name what it says of itself.
        problem.type = header.type;
        problem.id = header.id;
        problem.label = header.label;
        problem.reason += " (the chunk header there gives a size of " + std::to_string(header.size) + " bytes)";
    }
    problems_.push_back(std::move(problem));
}

bool IFFFile::OpenIFFFile(int* error, bool readHeadersNow) {
    auto fail = [this, error](int code, std::string problem) {
        if (error != nullptr) *error = code;
        openProblem_ = std::move(problem);
        return false;
    };
    Clear();
    openProblem_.clear();
    if (!file_) return fail(ErrorNoFile, "no file is open");

    ReadWholeFile();
    std::array<std::uint8_t, HeaderSize> bytes{};
    std::size_t got = 0;
    if (bytes_) {
        got = std::min(bytesSize_, HeaderSize);
        std::memcpy(bytes.data(), bytes_.get(), got);
    } else {
        try {
            file_->Seek(0);
            got = file_->Read(bytes);
        } catch (const FileError& e) {
            return fail(ErrorNotIFF, std::string("the file could not be read: ") + e.what());
        }
    }
    if (got < 9 || std::memcmp(bytes.data(), "IFF FILE", 8) != 0)
        return fail(ErrorNotIFF, "the file does not begin with \"IFF FILE\"");
    if (got < 12 || (std::memcmp(&bytes[9], "2.0", 3) != 0 && std::memcmp(&bytes[9], "2.5", 3) != 0))
        return fail(ErrorBadVersion, "the file's version is neither 2.0 nor 2.5");
    header_ = bytes;  // a header cut short keeps zeros in the rest: no map offset

    // Insertion keeps one node per (type, id): a later record takes the earlier one's place. The
    // index is built on the way.
    auto insert = [&](ChunkHandle handle) {
        const ChunkRecord* record = store_.Resolve(handle);
        const std::uint64_t key = Key(record->type, record->id);
        auto it = index_.find(key);
        if (it != index_.end()) {
            store_.Release(*it->second.first);
            *it->second.first = handle;
        } else {
            index_.emplace(key, Keyed{chunks_.insert(chunks_.end(), handle)});
        }
    };
    indexed_ = readHeadersNow;

    std::pair<std::uint64_t, std::uint64_t> mapExtent{0, 0};
    if (GetVersion() == 25) {
        std::vector<ChunkHandle> mapped;
        ReadResourceMap(readHeadersNow, mapped, mapExtent);
        for (ChunkHandle handle : mapped) insert(handle);
    }

    std::uint64_t offset = HeaderSize;
    while (fileLength_ > HeaderSize && offset < fileLength_) {
        ChunkHeader header;
        if (!ReadHeaderAt(offset, header) || header.size < ChunkHeaderSize || header.size > MaxChunkSize) break;
        const std::uint64_t next = offset + header.size;
        if ((header.flags & 0x0004) != 0) {
            // Left out of the list by its flag; its bytes are a chunk all the same.
            skipped_.emplace_back(offset, std::min(next, fileLength_));
        } else {
            const ChunkHandle handle = store_.Create();
            ChunkRecord* record = store_.Resolve(handle);
            if (record == nullptr) break;
            TakeHeader(*record, header);
            record->dataOffset = static_cast<std::uint32_t>(offset + ChunkHeaderSize);
            insert(handle);
        }
        offset = next;
    }

    RebuildTypeList();
    // Only where every header was read can the chunks' places be compared.
    if (readHeadersNow) CheckExtents(mapExtent);
    if (error != nullptr) *error = 0;
    return true;
}

void IFFFile::RebuildTypeList() {
    types_.clear();
    for (ChunkHandle handle : chunks_) {
        const ChunkRecord* record = store_.Resolve(handle);
        if (record == nullptr) continue;
        if (std::find(types_.begin(), types_.end(), record->type) == types_.end()) types_.push_back(record->type);
    }
}

bool IFFFile::HasType(ResourceType type) const {
    if (indexed_) {
        const auto it = index_.lower_bound(Key(type, 0));
        return it != index_.end() && (it->first >> 16) == type;
    }
    for (ChunkHandle handle : chunks_) {
        const ChunkRecord* record = store_.Resolve(handle);
        if (record != nullptr && record->type == type) return true;
    }
    return false;
}

void IFFFile::UpdateTypeList(ResourceType type) {
    const bool present = HasType(type);
    auto it = std::find(types_.begin(), types_.end(), type);
    if (!present && it != types_.end()) types_.erase(it);
    if (present && it == types_.end()) types_.push_back(type);
}

void IFFFile::IndexAppended(ChunkPosition position) {
    if (!indexed_) return;
    const ChunkRecord* record = store_.Resolve(*position);
    if (record == nullptr) return;
    // A second chunk with a key leaves the first one the one that lookups find.
    auto [it, added] = index_.try_emplace(Key(record->type, record->id), Keyed{position});
    if (!added) ++it->second.count;
}

void IFFFile::IndexErasing(ChunkPosition position) {
    if (!indexed_) return;
    const ChunkRecord* record = store_.Resolve(*position);
    if (record == nullptr) return;
    const auto it = index_.find(Key(record->type, record->id));
    if (it == index_.end()) return;
    if (--it->second.count == 0) {
        index_.erase(it);
        return;
    }
    if (it->second.first != position) return;
    // The next chunk with the same key in list order becomes the one found.
    for (auto next = std::next(position); next != chunks_.end(); ++next) {
        const ChunkRecord* other = store_.Resolve(*next);
        if (other != nullptr && other->type == record->type && other->id == record->id) {
            it->second.first = next;
            return;
        }
    }
}

IFFFile::ChunkPosition IFFFile::FindChunkPosition(ChunkHandle& out, ResourceType type, std::uint16_t id) {
    if (indexed_) {
        const auto it = index_.find(Key(type, id));
        if (it == index_.end()) return chunks_.end();
        out = *it->second.first;
        return it->second.first;
    }
    for (auto it = chunks_.begin(); it != chunks_.end(); ++it) {
        ChunkRecord* record = store_.Resolve(*it);
        if (record == nullptr) continue;
        if (!record->headerLoaded) {
            ChunkHeader header;
            if (record->dataOffset < ChunkHeaderSize || !ReadHeaderAt(record->dataOffset - ChunkHeaderSize, header))
                return chunks_.end();
            TakeHeader(*record, header);
        }
        if (record->type == type && record->id == id) {
            out = *it;
            return it;
        }
    }
    return chunks_.end();
}

bool IFFFile::FindChunk(ChunkHandle& out, ResourceType type, std::uint16_t id) {
    return FindChunkPosition(out, type, id) != chunks_.end();
}

IFFFile::ChunkPosition IFFFile::FirstChunkOfType(ResourceType type) {
    for (auto it = chunks_.begin(); it != chunks_.end(); ++it) {
        const ChunkRecord* record = store_.Resolve(*it);
        if (record != nullptr && record->type == type) return it;
    }
    return chunks_.end();
}

ChunkHandle IFFFile::NextChunkOfType(ChunkPosition& position) {
    if (position == chunks_.end()) return 0;
    const ChunkHandle handle = *position;
    const ChunkRecord* current = store_.Resolve(handle);
    const ResourceType type = current != nullptr ? current->type : 0;
    auto it = std::next(position);
    for (; it != chunks_.end(); ++it) {
        const ChunkRecord* record = store_.Resolve(*it);
        if (record != nullptr && current != nullptr && record->type == type) break;
    }
    position = it;
    return handle;
}

IFFFile::ChunkPosition IFFFile::LowestIdChunk(ResourceType type) {
    if (indexed_) {
        // The index holds the first chunk of each key in list order, sorted by type and id.
        const auto it = index_.lower_bound(Key(type, 0));
        return it != index_.end() && (it->first >> 16) == type ? it->second.first : chunks_.end();
    }
    auto best = chunks_.end();
    std::uint16_t bestId = 0;
    for (auto it = chunks_.begin(); it != chunks_.end(); ++it) {
        const ChunkRecord* record = store_.Resolve(*it);
        if (record == nullptr || record->type != type) continue;
        if (best == chunks_.end() || record->id < bestId) {
            best = it;
            bestId = record->id;
        }
    }
    return best;
}

void IFFFile::NextHigherIdChunk(ChunkPosition& position) {
    if (position == chunks_.end()) return;
    const ChunkRecord* current = store_.Resolve(*position);
    if (current == nullptr) {
        position = chunks_.end();
        return;
    }
    const ResourceType type = current->type;
    const std::uint16_t id = current->id;
    if (indexed_) {
        const auto it = index_.upper_bound(Key(type, id));
        position = it != index_.end() && (it->first >> 16) == type ? it->second.first : chunks_.end();
        return;
    }
    auto best = chunks_.end();
    std::uint16_t bestId = 0;
    for (auto it = chunks_.begin(); it != chunks_.end(); ++it) {
        const ChunkRecord* record = store_.Resolve(*it);
        if (record == nullptr || record->type != type || record->id <= id) continue;
        if (best == chunks_.end() || record->id < bestId) {
            best = it;
            bestId = record->id;
        }
    }
    position = best;
}

std::uint32_t IFFFile::CountChunksOfType(ResourceType type, bool onlyLoaded) const {
    std::uint32_t count = 0;
    for (ChunkHandle handle : chunks_) {
        const ChunkRecord* record = store_.Resolve(handle);
        if (record != nullptr && record->type == type && (!onlyLoaded || record->dataLoaded)) ++count;
    }
    return count;
}

bool IFFFile::EnsureChunkLoaded(ChunkHandle handle) {
    ChunkRecord* record = store_.Resolve(handle);
    if (record == nullptr) return false;
    if (!record->headerLoaded) {
        ChunkHeader header;
        if (record->dataOffset < ChunkHeaderSize || !ReadHeaderAt(record->dataOffset - ChunkHeaderSize, header))
            return false;
        TakeHeader(*record, header);
    }
    if (record->dataLoaded) return true;
    if (!file_) return false;
    // A size that the file cannot hold fails before anything is allocated for it.
    if (record->dataOffset > fileLength_ || record->size > fileLength_ - record->dataOffset) return false;
    try {
        std::vector<std::uint8_t> scratch;
        std::span<const std::uint8_t> data;
        if (!FileBytesAt(record->dataOffset, record->size, scratch, data)) return false;
        if (bytes_)
            record->ShareData(bytes_, data);
        else
            record->TakeData(std::move(scratch));
    } catch (const std::bad_alloc&) {
        return false;
    }
    record->dataLoaded = true;
    return true;
}

bool IFFFile::LoadAllChunks() {
    bool all = true;
    for (ChunkHandle handle : chunks_) {
        if (EnsureChunkLoaded(handle)) continue;
        all = false;
        const ChunkRecord* record = store_.Resolve(handle);
        // Named once: a chunk whose place was found wrong at opening already is.
        const bool named = record != nullptr && std::any_of(problems_.begin(), problems_.end(), [&](const ChunkProblem& p) {
            return p.type == record->type && p.id == record->id && !p.keptBySave;
        });
        if (record != nullptr && !named) AddProblem(*record, "its data cannot be read from the file", false);
    }
    return all;
}

bool IFFFile::ReadChunkData(ChunkHandle handle, std::uint8_t* destination) {
    if (!EnsureChunkLoaded(handle)) return false;
    const ChunkRecord* record = store_.Resolve(handle);
    if (record->size > 0) std::memcpy(destination, record->Data().data(), record->size);
    return true;
}

bool IFFFile::WriteChunkData(ChunkHandle handle, Stream& stream) {
    if (!EnsureChunkLoaded(handle)) return false;
    const ChunkRecord* record = store_.Resolve(handle);
    try {
        stream.Write(record->Data());
    } catch (const FileError&) {
        return false;
    }
    return true;
}

bool IFFFile::WriteChunkData(ResourceType type, std::uint16_t id, Stream& stream) {
    ChunkHandle handle = 0;
    if (!FindChunk(handle, type, id)) return false;
    return WriteChunkData(handle, stream);
}

// The whole content of a stream given as chunk data; none when it cannot be read.
static std::optional<std::vector<std::uint8_t>> StreamContent(Stream& stream) {
    try {
        return stream.ReadAll();
    } catch (const FileError&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool IFFFile::ReplaceChunkData(ResourceType type, std::uint16_t id, Stream& stream) {
    std::optional<std::vector<std::uint8_t>> data = StreamContent(stream);
    return data && ReplaceChunkData(type, id, std::move(*data));
}

bool IFFFile::ReplaceChunkData(ResourceType type, std::uint16_t id, std::vector<std::uint8_t> data) {
    ChunkHandle handle = 0;
    if (!FindChunk(handle, type, id)) return false;
    if (data.size() > MaxChunkSize - ChunkHeaderSize) return false;
    ChunkRecord* record = store_.Resolve(handle);
    record->size = static_cast<std::uint32_t>(data.size());
    record->TakeData(std::move(data));
    record->headerLoaded = true;
    record->dataLoaded = true;
    // The chunk is there, so its type is too; only a type list that lacks it changes.
    if (std::find(types_.begin(), types_.end(), type) == types_.end()) types_.push_back(type);
    return true;
}

bool IFFFile::AddChunk(ResourceType type, std::uint16_t id, const std::string& label, Stream& stream) {
    std::optional<std::vector<std::uint8_t>> data = StreamContent(stream);
    return data && AddChunk(type, id, label, std::move(*data));
}

bool IFFFile::AddChunk(ResourceType type, std::uint16_t id, const std::string& label, std::vector<std::uint8_t> data) {
    if (data.size() > MaxChunkSize - ChunkHeaderSize) return false;
    const ChunkHandle handle = store_.Create();
    ChunkRecord* record = store_.Resolve(handle);
    if (record == nullptr) return false;
    record->type = type;
    record->id = id;
    record->label = label;
    record->flags = ChunkRecord::NewFlags;
    record->size = static_cast<std::uint32_t>(data.size());
    record->TakeData(std::move(data));
    record->headerLoaded = true;
    record->dataLoaded = true;
    IndexAppended(chunks_.insert(chunks_.end(), handle));
    if (std::find(types_.begin(), types_.end(), type) == types_.end()) types_.push_back(type);
    return true;
}

bool IFFFile::DeleteChunk(ResourceType type, std::uint16_t id) {
    ChunkHandle handle = 0;
    auto position = FindChunkPosition(handle, type, id);
    if (position == chunks_.end()) return false;
    IndexErasing(position);
    store_.Release(handle);
    chunks_.erase(position);
    UpdateTypeList(type);
    return true;
}

}  // namespace tw

#pragma once

#include "far/FAREntry.h"
#include "util/Stream.h"
#include "util/UserPort.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// A FAR archive of the game, read only.
//
// Layout (little-endian): a 16-byte header ("FAR!byAZ", u32 version 1, u32 directory offset);
// the directory runs from its offset to the end of the file: u32 entry count, then the
// entries one after another (see FAREntry). The directory is read in one go and its entries are
// kept; an entry's bytes are read once, when first asked for, and kept with the entry.
//
// A read error of the archive or a write error of an extraction target is shown to the person
// through the port given at construction (the platform's description, titled with the
// application's name); without a port it is only reported by the result.
class FARFile {
public:
    // Error codes of ReadDirectory.
    static constexpr int ErrorNone = 0;
    static constexpr int ErrorNoArchive = 1;
    static constexpr int ErrorNotFAR = 2;          // shorter than 16 bytes or wrong signature
    static constexpr int ErrorBadVersion = 3;
    static constexpr int ErrorNoMemory = 4;
    static constexpr int ErrorBadDirectory = 5;    // offset 0 or out of range, or entries past the end

    static constexpr std::size_t HeaderSize = 16;
    static constexpr std::size_t EntryHeaderSize = 16;

    // Positions of the entry iteration count from 0 in directory order.
    using EntryPosition = std::size_t;
    static constexpr EntryPosition NoPosition = static_cast<EntryPosition>(-1);

    explicit FARFile(UserPort* port = nullptr);
    // Attaches `archive` at once (see AttachArchive); reads nothing.
    explicit FARFile(const Stream& archive, UserPort* port = nullptr);
    virtual ~FARFile();
    FARFile(const FARFile&) = delete;
    FARFile& operator=(const FARFile&) = delete;

    // Keeps a duplicate of the open `archive` (closing any attached one) and records its
    // length. The caller's stream stays the caller's.
    void AttachArchive(const Stream& archive);
    // Releases the duplicate. Entries whose bytes were read keep them; the others can no longer
    // be read (their data offset becomes 0).
    void CloseArchive();

    // Reads the directory, dropping any entries held before. False with `error` (when given)
    // 1 (no archive), 2 (short or wrong signature), 3 (version not 1), 4 (no memory for the
    // directory) or 5 (bad directory offset, or entries running past the end); a read error of
    // the file is shown and gives false with code 0. No entries are kept after a failure.
    bool ReadDirectory(int* error = nullptr);

    std::size_t EntryCount() const { return entries_.size(); }
    // The first position, or NoPosition when there are no entries.
    EntryPosition FirstEntryPosition() const { return entries_.empty() ? NoPosition : 0; }
    // A copy of the entry at `position` (sharing its data); `position` moves on to the next
    // entry or to NoPosition after the last. `position` must be a valid position.
    FAREntry NextEntry(EntryPosition& position) const;

    // Reads the entry's bytes into its data. False for an entry of size 0, with no archive
    // attached, with data offset 0, or with data running past the archive's end; false also on
    // a read error (shown) or when the archive delivers fewer bytes than it promised. The entry
    // only takes data after a complete read.
    bool LoadEntryData(FAREntry& entry);
    // The bytes of the entry at `index` (owned by the entry, valid while it exists) and their
    // count. The bytes are read on the first call and kept. False for an index past the end or
    // when LoadEntryData fails.
    bool GetEntryData(std::size_t index, const std::uint8_t*& data, std::uint32_t& size);
    // Writes the bytes of the entry at `index` into `target` at its position. False when the
    // bytes cannot be had or written (a write error is shown).
    bool ExtractEntryToFile(std::size_t index, Stream& target);

    const std::vector<FAREntry>& Entries() const { return entries_; }
    const std::array<std::uint8_t, HeaderSize>& Header() const { return header_; }
    std::uint64_t Length() const { return length_; }
    bool HasArchive() const { return archive_ != nullptr; }

private:
    void ReportFileError(const std::string& description) const;

    std::unique_ptr<Stream> archive_;
    std::uint64_t length_ = 0;
    std::array<std::uint8_t, HeaderSize> header_{};
    std::vector<FAREntry> entries_;
    UserPort* port_ = nullptr;
};

// The index of the first entry whose whole stored name equals `name` without regard to ASCII
// case (folder parts and backslashes included), or none.
std::optional<std::size_t> FindEntry(const FARFile& archive, const std::string& name);

}  // namespace tw

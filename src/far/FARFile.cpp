#include "far/FARFile.h"

#include "util/ByteReader.h"
#include "util/FileError.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace tw {
namespace {

constexpr char Signature[] = "FAR!byAZ";
constexpr std::size_t SignatureSize = sizeof Signature - 1;

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace

FARFile::FARFile(UserPort* port) : port_(port) {}

FARFile::FARFile(const Stream& archive, UserPort* port) : port_(port) { AttachArchive(archive); }

FARFile::~FARFile() {
    CloseArchive();
    entries_.clear();
}

void FARFile::AttachArchive(const Stream& archive) {
    if (archive_) CloseArchive();
    // Our own handle, so that the caller may close theirs; a file duplicate keeps the path.
    archive_ = archive.Duplicate();
    try {
        length_ = archive_->Length();
    } catch (const FileError&) {
        // A file whose length cannot be had reads as too short for an archive.
        length_ = 0;
    }
}

void FARFile::CloseArchive() {
    length_ = 0;
    if (!archive_) return;
    archive_.reset();
    // Without the file only the bytes already read remain available.
    for (FAREntry& entry : entries_) entry.dataOffset = 0;
}

void FARFile::ReportFileError(const std::string& description) const {
    if (port_ != nullptr) port_->Tell(description, port_->ApplicationName(), MessageIcon::Error);
}

bool FARFile::ReadDirectory(int* error) {
    int code = ErrorNone;
    const auto fail = [&](int failure) {
        entries_.clear();
        code = failure;
        if (error != nullptr) *error = code;
        return false;
    };
    entries_.clear();
    if (error != nullptr) *error = ErrorNone;

    if (!archive_) return fail(ErrorNoArchive);
    if (length_ < HeaderSize) return fail(ErrorNotFAR);

    std::vector<std::uint8_t> directory;
    try {
        // char[8] signature, u32 version, u32 directory offset.
        archive_->Seek(0);
        if (archive_->Read(header_) != header_.size()) return fail(ErrorNotFAR);
        if (std::memcmp(header_.data(), Signature, SignatureSize) != 0) return fail(ErrorNotFAR);
        if (LoadU32Le(&header_[8]) != 1) return fail(ErrorBadVersion);
        const std::uint64_t directoryOffset = LoadU32Le(&header_[12]);
        if (directoryOffset == 0 || directoryOffset + 4 > length_) return fail(ErrorBadDirectory);

        // The directory is everything from its offset to the end, read in one go. Its size is
        // bounded by the file's length.
        const std::uint64_t directorySize = length_ - directoryOffset;
        if (directorySize > std::numeric_limits<std::size_t>::max()) return fail(ErrorNoMemory);
        try {
            directory.resize(static_cast<std::size_t>(directorySize));
        } catch (const std::bad_alloc&) {
            return fail(ErrorNoMemory);
        } catch (const std::length_error&) {
            return fail(ErrorNoMemory);
        }
        archive_->Seek(static_cast<std::int64_t>(directoryOffset));
        // A file that shrank since it was attached gives fewer bytes; only those are parsed.
        directory.resize(archive_->Read(directory));
    } catch (const FileError& e) {
        ReportFileError(e.what());
        return fail(ErrorNone);
    }

    ByteReader reader(directory);
    const std::uint32_t entryCount = reader.U32Le();
    if (!reader.Ok()) return fail(ErrorBadDirectory);
    // Each entry takes at least 16 bytes, which bounds what a lying count can reserve.
    entries_.reserve(std::min<std::size_t>(entryCount, reader.Remaining() / EntryHeaderSize));
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        // u32 size, u32 second size, u32 data offset, u32 name length, name bytes.
        FAREntry entry;
        entry.size = reader.U32Le();
        entry.secondSize = reader.U32Le();
        entry.dataOffset = reader.U32Le();
        entry.nameLength = reader.U32Le();
        if (!reader.Ok()) return fail(ErrorBadDirectory);
        const std::span<const std::uint8_t> name = reader.Bytes(entry.nameLength);
        if (!reader.Ok()) return fail(ErrorBadDirectory);
        const auto* text = reinterpret_cast<const char*>(name.data());
        const auto end = std::find(text, text + name.size(), '\0');
        entry.name.assign(text, end);
        entries_.push_back(std::move(entry));
    }
    // Bytes after the last entry are ignored.
    return true;
}

FAREntry FARFile::NextEntry(EntryPosition& position) const {
    FAREntry entry = entries_.at(position);
    ++position;
    if (position >= entries_.size()) position = NoPosition;
    return entry;
}

bool FARFile::LoadEntryData(FAREntry& entry) {
    if (entry.data) return true;
    if (entry.size == 0 || !archive_ || entry.dataOffset == 0) return false;
    if (static_cast<std::uint64_t>(entry.dataOffset) + entry.size > length_) return false;

    // The size was checked against the file's length, so this allocation is bounded by it.
    std::shared_ptr<FARData> data;
    try {
        data = std::make_shared<FARData>(entry.size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    try {
        archive_->Seek(entry.dataOffset);
        // A short read means the file shrank since it was attached; zeros in place of the
        // missing bytes would be written out as if they were the game's file.
        if (archive_->Read(data->bytes) != data->bytes.size()) return false;
    } catch (const FileError& e) {
        ReportFileError(e.what());
        return false;
    }
    entry.data = std::move(data);
    return true;
}

bool FARFile::GetEntryData(std::size_t index, const std::uint8_t*& data, std::uint32_t& size) {
    if (index >= entries_.size()) return false;
    // Load into a copy so that a failure leaves the list as it was.
    FAREntry copy = entries_[index];
    if (!LoadEntryData(copy)) return false;
    entries_[index] = std::move(copy);
    data = entries_[index].data->bytes.data();
    size = entries_[index].size;
    return true;
}

bool FARFile::ExtractEntryToFile(std::size_t index, Stream& target) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (!GetEntryData(index, data, size)) return false;
    try {
        target.Write(std::span<const std::uint8_t>(data, size));
    } catch (const FileError& e) {
        ReportFileError(e.what());
        return false;
    }
    return true;
}

std::optional<std::size_t> FindEntry(const FARFile& archive, const std::string& name) {
    const std::vector<FAREntry>& entries = archive.Entries();
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (SameNameIgnoringCase(entries[index].name, name)) return index;
    }
    return std::nullopt;
}

}  // namespace tw

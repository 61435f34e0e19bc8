#pragma once

#include "util/Error.h"
#include "util/Stream.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tw {

// How a file is opened, with the sharing that the game files need.
//
// On Windows these are real share modes. POSIX has no mandatory share modes, so elsewhere the
// file is opened normally; what protects the player's files there is that every save replaces
// files whole, in one transaction, instead of rewriting them in place.
enum class FileMode {
    ReadShared,             // existing file, read only; others may read but not write
    ReadWriteShared,        // existing file, read and write; others may read but not write
    CreateReadWriteShared,  // created or truncated, read and write; others may read but not write
    // A new file, read and write, shared with nobody. Fails when the name exists in any form (a
    // file, a folder, a symbolic link), so nothing planted at the name is followed.
    CreateExclusive,
    // Existing file, read only, without standing in anybody's way: others may read, write,
    // delete and rename it meanwhile (a reader beside the program that changes the game).
    ReadAnyShared,
    // A file of the program's own (its journal, its kept originals): read only, never through a
    // symbolic link or reparse point, and only when it is a plain file.
    ReadOwn,
};

// A file on disk. Duplicates share the platform handle and keep positions of their own, so the
// containers can read lazily from their copy while the caller uses or closes its own.
class FileStream final : public Stream {
public:
    ~FileStream() override;

    // Opens `path`; throws FileError with the platform's description on failure.
    static std::unique_ptr<FileStream> Open(const std::filesystem::path& path, FileMode mode);
    // As Open, but returns the platform's description as a failure.
    static Expected<std::unique_ptr<FileStream>> TryOpen(const std::filesystem::path& path, FileMode mode);

    void Seek(std::int64_t offset, SeekOrigin origin = SeekOrigin::Begin) override;
    std::size_t Read(std::span<std::uint8_t> into) override;
    void Write(std::span<const std::uint8_t> bytes) override;
    using Stream::Write;
    std::uint64_t Length() const override;
    std::uint64_t Position() const override { return position_; }
    void Truncate(std::uint64_t length) override;
    // Pushes written data to the disk itself, not only to the system's cache.
    void Flush() override;
    std::unique_ptr<Stream> Duplicate() const override;
    std::filesystem::path Path() const override { return path_; }
    FileMode Mode() const { return mode_; }
    // Gives this file the permission bits of the file `like` and, where the process may change
    // it, its owner. On Windows, where a new file takes its folder's access rules, the read-only
    // mark of `like`.
    void TakeAccessOf(const std::filesystem::path& like);

    // Drops this stream's share of the platform handle (the file closes with its last holder)
    // and opens the existing file at `path` anew with the access and sharing of `mode`; the
    // create modes neither create nor truncate here. Throws FileError; the stream is closed
    // after a failure.
    void Reopen(const std::filesystem::path& path, FileMode mode);
    bool IsOpen() const { return handle_ != nullptr; }
    void Close();

    struct Handle;  // the platform handle, shared between duplicates

private:
    FileStream() = default;
    const Handle& Require() const;

    std::shared_ptr<Handle> handle_;
    std::filesystem::path path_;
    FileMode mode_ = FileMode::ReadShared;
    std::uint64_t position_ = 0;
};

}  // namespace tw

#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tw {

// An advisory lock on a file, between processes (flock on POSIX, LockFileEx on Windows). Two
// FileLock objects on the same file exclude each other even inside one process, so tests can
// play two programs. The lock goes with the object, and with the process when it dies.
//
// The file also carries a short note of who holds the lock, which waiting programs may read.
class FileLock {
public:
    enum class Kind { Shared, Exclusive };

    // Opens `file`, creating it when missing. Throws FileError.
    explicit FileLock(const std::filesystem::path& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock if nobody stands in the way; false at once otherwise. Throws FileError.
    bool TryLock(Kind kind);
    // Waits until the lock is free, then takes it. Throws FileError.
    void Lock(Kind kind);
    void Unlock();
    bool Held() const { return held_; }

    // The holder's note: written by the holder, read by anyone. Throws FileError.
    void WriteNote(std::string_view note);
    std::string ReadNote() const;

    struct Handle;

private:
    bool Take(Kind kind, bool wait);

    std::unique_ptr<Handle> handle_;
    bool held_ = false;
};

}  // namespace tw

#pragma once

#include "util/FileLock.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tw {

// An exclusive advisory lock on a folder itself, which two programs that reach the folder through
// different paths (a bind mount, a link) share: on POSIX a flock on a read-only handle of the
// folder; on Windows, which cannot lock a folder, a lock file in `lockFolder` named after the
// folder's identity (see FolderIdentity). Goes with the object and with the process.
class FolderLock {
public:
    // Opens the folder (or the lock file). Throws FileError.
    FolderLock(const std::filesystem::path& folder, const std::filesystem::path& lockFolder, const std::string& identity);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock when nobody holds it; false at once otherwise. Throws FileError.
    bool TryLock();
    void Unlock();

private:
#ifdef _WIN32
    std::unique_ptr<FileLock> lock_;
#else
    int fd_ = -1;
    bool held_ = false;
#endif
};

}  // namespace tw

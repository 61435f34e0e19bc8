#include "util/FolderLock.h"

#include "util/FileError.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tw {

#ifdef _WIN32

FolderLock::FolderLock(const std::filesystem::path&, const std::filesystem::path& lockFolder,
                       const std::string& identity)
    // Without an identity there is nothing two paths could share; the writer lock alone stays.
    : lock_(identity.empty() ? nullptr : std::make_unique<FileLock>(lockFolder / ("folder-" + identity + ".lock"))) {}

FolderLock::~FolderLock() = default;

bool FolderLock::TryLock() { return !lock_ || lock_->TryLock(FileLock::Kind::Exclusive); }

void FolderLock::Unlock() {
    if (lock_) lock_->Unlock();
}

#else

FolderLock::FolderLock(const std::filesystem::path& folder, const std::filesystem::path&, const std::string&) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) throw FileError(LastSystemErrorText());
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderLock::TryLock() {
    if (held_) return true;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return false;
        throw FileError(LastSystemErrorText());
    }
    held_ = true;
    return true;
}

void FolderLock::Unlock() {
    if (!held_) return;
    ::flock(fd_, LOCK_UN);
    held_ = false;
}

#endif

}  // namespace tw

#include "util/FileLock.h"

#include "util/FileError.h"

#include <cerrno>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tw {

namespace {
// Longer notes are cut; a note is a program's name and process number.
constexpr std::size_t MaxNote = 512;
}  // namespace

#ifdef _WIN32

struct FileLock::Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

namespace {
// The locked byte lies far past the note, so that the note stays readable while it is locked.
constexpr DWORD LockedOffsetHigh = 0x40000000;

OVERLAPPED LockedRange() {
    OVERLAPPED at{};
    at.Offset = 0;
    at.OffsetHigh = LockedOffsetHigh;
    return at;
}
}  // namespace

FileLock::FileLock(const std::filesystem::path& file) : handle_(std::make_unique<Handle>()) {
    handle_->h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_->h == INVALID_HANDLE_VALUE) throw FileError(LastSystemErrorText());
}

bool FileLock::Take(Kind kind, bool wait) {
    if (held_) Unlock();
    OVERLAPPED at = LockedRange();
    DWORD flags = kind == Kind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0;
    if (!wait) flags |= LOCKFILE_FAIL_IMMEDIATELY;
    if (!LockFileEx(handle_->h, flags, 0, 1, 0, &at)) {
        const DWORD code = GetLastError();
        if (!wait && (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING)) return false;
        SetLastError(code);
        throw FileError(LastSystemErrorText());
    }
    held_ = true;
    return true;
}

void FileLock::Unlock() {
    if (!held_) return;
    OVERLAPPED at = LockedRange();
    UnlockFileEx(handle_->h, 0, 1, 0, &at);
    held_ = false;
}

void FileLock::WriteNote(std::string_view note) {
    note = note.substr(0, MaxNote);
    OVERLAPPED at{};
    DWORD put = 0;
    if (!WriteFile(handle_->h, note.data(), static_cast<DWORD>(note.size()), &put, &at) || put != note.size())
        throw FileError(LastSystemErrorText());
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(note.size());
    if (!SetFileInformationByHandle(handle_->h, FileEndOfFileInfo, &end, sizeof end))
        throw FileError(LastSystemErrorText());
}

std::string FileLock::ReadNote() const {
    std::string note(MaxNote, '\0');
    OVERLAPPED at{};
    DWORD got = 0;
    if (!ReadFile(handle_->h, note.data(), static_cast<DWORD>(note.size()), &got, &at) &&
        GetLastError() != ERROR_HANDLE_EOF)
        throw FileError(LastSystemErrorText());
    note.resize(got);
    return note;
}

#else

struct FileLock::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) ::close(fd);
    }
};

FileLock::FileLock(const std::filesystem::path& file) : handle_(std::make_unique<Handle>()) {
    // Never through a link: the lock files live in a folder of our own, and a link there is not ours.
    handle_->fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (handle_->fd < 0) throw FileError(LastSystemErrorText());
}

bool FileLock::Take(Kind kind, bool wait) {
    int operation = kind == Kind::Exclusive ? LOCK_EX : LOCK_SH;
    if (!wait) operation |= LOCK_NB;
    // flock converts a held lock to the other kind; no need to let go first.
    while (::flock(handle_->fd, operation) != 0) {
        if (errno == EINTR) continue;
        if (!wait && errno == EWOULDBLOCK) return false;
        throw FileError(LastSystemErrorText());
    }
    held_ = true;
    return true;
}

void FileLock::Unlock() {
    if (!held_) return;
    ::flock(handle_->fd, LOCK_UN);
    held_ = false;
}

void FileLock::WriteNote(std::string_view note) {
    note = note.substr(0, MaxNote);
    if (::ftruncate(handle_->fd, 0) != 0) throw FileError(LastSystemErrorText());
    if (::pwrite(handle_->fd, note.data(), note.size(), 0) != static_cast<ssize_t>(note.size()))
        throw FileError(LastSystemErrorText());
}

std::string FileLock::ReadNote() const {
    std::string note(MaxNote, '\0');
    const ssize_t got = ::pread(handle_->fd, note.data(), note.size(), 0);
    if (got < 0) throw FileError(LastSystemErrorText());
    note.resize(static_cast<std::size_t>(got));
    return note;
}

#endif

FileLock::~FileLock() { Unlock(); }

bool FileLock::TryLock(Kind kind) { return Take(kind, false); }

void FileLock::Lock(Kind kind) { Take(kind, true); }

}  // namespace tw

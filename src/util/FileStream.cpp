#include "util/FileStream.h"

#include "util/FileError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

#ifdef _WIN32

std::string LastSystemErrorText() {
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (length > 0 && buffer != nullptr) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        text.resize(static_cast<std::size_t>(bytes));
        WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), text.data(), bytes, nullptr, nullptr);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    }
    if (buffer != nullptr) LocalFree(buffer);
    if (text.empty()) text = "System error " + std::to_string(code) + ".";
    return text;
}

struct FileStream::Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

// `existing`: open the file that is there, never create or truncate it, whatever the mode.
//
// The share mode is the whole protection of the player's files while the editor holds them:
// FILE_SHARE_READ only, so other programs may read but neither write nor delete or rename the
// file (no FILE_SHARE_DELETE). Replacing a held file therefore closes our handle first (see
// ReplaceFileWhole). The path goes to the system as UTF-16, so any folder name works.
static std::shared_ptr<FileStream::Handle> OpenHandle(const std::filesystem::path& path, FileMode mode,
                                                      bool existing) {
    DWORD access = GENERIC_READ;
    DWORD share = FILE_SHARE_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
        case FileMode::ReadShared: break;
        case FileMode::ReadWriteShared: access |= GENERIC_WRITE; break;
        case FileMode::CreateReadWriteShared: access |= GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
        case FileMode::CreateExclusive: access |= GENERIC_WRITE; share = 0; disposition = CREATE_NEW; break;
        case FileMode::ReadAnyShared: share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE; break;
        case FileMode::ReadOwn: break;
    }
    if (existing) disposition = OPEN_EXISTING;
    // A new file never takes the place of a reparse point (a link) that has its name: CREATE_NEW
    // fails on any existing name, and FILE_FLAG_OPEN_REPARSE_POINT keeps it from following one.
    const bool noFollow = disposition == CREATE_NEW || mode == FileMode::ReadOwn;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (noFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw FileError(LastSystemErrorText());
    if (mode == FileMode::ReadOwn) {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool plain = GetFileInformationByHandle(h, &info) &&
                           (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
        if (!plain) {
            CloseHandle(h);
            throw FileError("it is not a plain file (a link or a folder has its name)");
        }
    }
    auto handle = std::make_shared<FileStream::Handle>();
    handle->h = h;
    return handle;
}

std::size_t FileStream::Read(std::span<std::uint8_t> into) {
    const Handle& handle = Require();
    std::size_t total = 0;
    while (total < into.size()) {
        OVERLAPPED at{};
        const std::uint64_t offset = position_ + total;
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(into.size() - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle.h, into.data() + total, want, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            throw FileError(LastSystemErrorText());
        }
        if (got == 0) break;
        total += got;
    }
    position_ += total;
    return total;
}

void FileStream::Write(std::span<const std::uint8_t> bytes) {
    const Handle& handle = Require();
    std::size_t total = 0;
    while (total < bytes.size()) {
        OVERLAPPED at{};
        const std::uint64_t offset = position_ + total;
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - total, 1u << 30));
        DWORD put = 0;
        if (!WriteFile(handle.h, bytes.data() + total, want, &put, &at)) throw FileError(LastSystemErrorText());
        if (put == 0) throw FileError("Nothing could be written to the file.");
        total += put;
    }
    position_ += total;
}

std::uint64_t FileStream::Length() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(Require().h, &size)) throw FileError(LastSystemErrorText());
    return static_cast<std::uint64_t>(size.QuadPart);
}

void FileStream::Truncate(std::uint64_t length) {
    FILE_END_OF_FILE_INFO info{};
    info.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    if (!SetFileInformationByHandle(Require().h, FileEndOfFileInfo, &info, sizeof info))
        throw FileError(LastSystemErrorText());
}

void FileStream::Flush() {
    if (!FlushFileBuffers(Require().h)) throw FileError(LastSystemErrorText());
}

void FileStream::TakeAccessOf(const std::filesystem::path& like) {
    const HANDLE h = Require().h;
    // Access itself follows the folder's rules; what a file of its own carries is the read-only
    // mark, which the file replaced keeps through a save.
    const DWORD theirs = GetFileAttributesW(like.c_str());
    if (theirs == INVALID_FILE_ATTRIBUTES) throw FileError(LastSystemErrorText());
    if ((theirs & FILE_ATTRIBUTE_READONLY) == 0) return;
    FILE_BASIC_INFO info{};
    if (!GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info)) throw FileError(LastSystemErrorText());
    info.FileAttributes |= FILE_ATTRIBUTE_READONLY;
    if (!SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof info)) throw FileError(LastSystemErrorText());
}

#else

std::string LastSystemErrorText() { return std::strerror(errno); }

struct FileStream::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0) ::close(fd);
    }
};

// `existing`: open the file that is there, never create or truncate it, whatever the mode.
static std::shared_ptr<FileStream::Handle> OpenHandle(const std::filesystem::path& path, FileMode mode,
                                                      bool existing) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case FileMode::ReadShared:
        case FileMode::ReadAnyShared: flags |= O_RDONLY; break;
        case FileMode::ReadOwn: flags |= O_RDONLY | O_NOFOLLOW; break;
        case FileMode::ReadWriteShared: flags |= O_RDWR; break;
        case FileMode::CreateReadWriteShared: flags |= existing ? O_RDWR : O_RDWR | O_CREAT | O_TRUNC; break;
        // O_EXCL with O_CREAT refuses any existing name, a symbolic link included.
        case FileMode::CreateExclusive: flags |= existing ? O_RDWR : O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    // New files get the usual permissions of the person's umask.
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0 && errno == ELOOP && mode == FileMode::ReadOwn)
        throw FileError("it is a symbolic link, which is not followed here");
    if (fd < 0) throw FileError(LastSystemErrorText());
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        throw FileError(std::strerror(EISDIR));
    }
    if (mode == FileMode::ReadOwn && !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileError("it is not a plain file");
    }
    auto handle = std::make_shared<FileStream::Handle>();
    handle->fd = fd;
    return handle;
}

std::size_t FileStream::Read(std::span<std::uint8_t> into) {
    const Handle& handle = Require();
    std::size_t total = 0;
    while (total < into.size()) {
        const ssize_t got = ::pread(handle.fd, into.data() + total, into.size() - total,
                                    static_cast<off_t>(position_ + total));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw FileError(LastSystemErrorText());
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    position_ += total;
    return total;
}

void FileStream::Write(std::span<const std::uint8_t> bytes) {
    const Handle& handle = Require();
    std::size_t total = 0;
    while (total < bytes.size()) {
        const ssize_t put = ::pwrite(handle.fd, bytes.data() + total, bytes.size() - total,
                                     static_cast<off_t>(position_ + total));
        if (put < 0) {
            if (errno == EINTR) continue;
            throw FileError(LastSystemErrorText());
        }
        if (put == 0) throw FileError("Nothing could be written to the file.");
        total += static_cast<std::size_t>(put);
    }
    position_ += total;
}

std::uint64_t FileStream::Length() const {
    struct stat info {};
    if (::fstat(Require().fd, &info) != 0) throw FileError(LastSystemErrorText());
    return static_cast<std::uint64_t>(info.st_size);
}

void FileStream::Truncate(std::uint64_t length) {
    if (::ftruncate(Require().fd, static_cast<off_t>(length)) != 0) throw FileError(LastSystemErrorText());
}

void FileStream::Flush() {
    if (::fsync(Require().fd) != 0) throw FileError(LastSystemErrorText());
}

void FileStream::TakeAccessOf(const std::filesystem::path& like) {
    const int fd = Require().fd;
    struct stat info {};
    if (::stat(like.c_str(), &info) != 0) throw FileError(LastSystemErrorText());
    // The owner first: changing it may clear the set-id bits that the mode then puts back. Only
    // the superuser (or the owner, for the group) may change it; anybody else keeps their own.
    if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        if (errno != EPERM) throw FileError(LastSystemErrorText());
        if (::fchown(fd, static_cast<uid_t>(-1), info.st_gid) != 0 && errno != EPERM)
            throw FileError(LastSystemErrorText());
    }
    if (::fchmod(fd, info.st_mode & 07777) != 0) throw FileError(LastSystemErrorText());
}

#endif

FileStream::~FileStream() = default;

const FileStream::Handle& FileStream::Require() const {
    if (!handle_) throw FileError("The file is not open.");
    return *handle_;
}

std::unique_ptr<FileStream> FileStream::Open(const std::filesystem::path& path, FileMode mode) {
    std::unique_ptr<FileStream> stream(new FileStream());
    stream->handle_ = OpenHandle(path, mode, false);
    stream->path_ = path;
    stream->mode_ = mode;
    return stream;
}

Expected<std::unique_ptr<FileStream>> FileStream::TryOpen(const std::filesystem::path& path, FileMode mode) {
    try {
        return Open(path, mode);
    } catch (const FileError& e) {
        return Failure(e.what(), ErrorKind::System);
    }
}

void FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Begin ? 0 : static_cast<std::int64_t>(Length());
    const std::int64_t target = base + offset;
    if (target < 0) throw FileError("Seek before the start of the file.");
    position_ = static_cast<std::uint64_t>(target);
}

std::unique_ptr<Stream> FileStream::Duplicate() const {
    std::unique_ptr<FileStream> copy(new FileStream());
    copy->handle_ = handle_;
    copy->path_ = path_;
    copy->mode_ = mode_;
    return copy;
}

void FileStream::Reopen(const std::filesystem::path& path, FileMode mode) {
    handle_.reset();
    position_ = 0;
    // A reopened file keeps its content: the create modes must not empty the file that was just
    // put in place (ReplaceFileWhole reopens the held stream on the new file in its old mode).
    handle_ = OpenHandle(path, mode, true);
    path_ = path;
    mode_ = mode;
}

void FileStream::Close() {
    handle_.reset();
    position_ = 0;
}

}  // namespace tw

#include "util/FileSystem.h"

#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/ReadWholeFile.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

std::string FileSystem::ReadOwn(const std::filesystem::path& path, std::size_t maxBytes) {
    Expected<std::string> text = ReadWholeFile(path, maxBytes, FileMode::ReadOwn);
    if (!text) throw FileError(text.Reason());
    return std::move(*text);
}

namespace {

[[noreturn]] void ThrowSystemError() { throw FileError(LastSystemErrorText()); }

class HostFiles final : public FileSystem {
public:
    std::unique_ptr<Stream> CreateNew(const std::filesystem::path& path, const std::filesystem::path* like) override {
        auto stream = FileStream::Open(path, FileMode::CreateExclusive);
        if (like != nullptr) stream->TakeAccessOf(*like);
        return stream;
    }

#ifdef _WIN32
    void Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        WithoutReadOnlyMark(to, [&] { Move(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); });
    }

    void MoveNew(const std::filesystem::path& from, const std::filesystem::path& to) override {
        Move(from, to, MOVEFILE_WRITE_THROUGH);
    }

    // Windows cannot replace a file under its name while another program has it open, even one
    // that shares deletion; it can move it away. So the old file is always moved aside instead of
    // getting a second name, and a reader beside the editor never stands in the way of a save.
    bool Link(const std::filesystem::path&, const std::filesystem::path&) override { return false; }

    void Remove(const std::filesystem::path& path) override {
        WithoutReadOnlyMark(path, [&] {
            if (DeleteFileW(path.c_str())) return;
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return;
            SetLastError(code);
            ThrowSystemError();
        });
    }

    void CreateFolder(const std::filesystem::path& path) override {
        if (!CreateDirectoryW(path.c_str(), nullptr)) ThrowSystemError();
    }

    void RemoveFolder(const std::filesystem::path& path) override {
        if (RemoveDirectoryW(path.c_str())) return;
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_DIR_NOT_EMPTY) return;
        SetLastError(code);
        ThrowSystemError();
    }

    // Moves are written through to the disk (MOVEFILE_WRITE_THROUGH); there is nothing to add.
    void SyncFolder(const std::filesystem::path&) override {}

    bool Exists(const std::filesystem::path& path) override {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    // Windows neither deletes nor replaces a file marked read-only, where POSIX only asks about
    // the folder. A file of the game marked so is still the player's to save: the mark goes for
    // the step and comes back when the step fails.
    template <typename Step>
    static void WithoutReadOnlyMark(const std::filesystem::path& path, Step step) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool marked = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        if (!marked) return step();
        if (!SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)))
            ThrowSystemError();
        try {
            step();
        } catch (...) {
            SetFileAttributesW(path.c_str(), attributes);
            throw;
        }
    }

    // One rename within a folder: the name holds either the old or the new file, never neither.
    // Virus scanners and indexers open new files for a moment; a sharing failure is tried again a
    // few times before it counts. A file held open by another program stays a failure.
    static void Move(const std::filesystem::path& from, const std::filesystem::path& to, DWORD flags) {
        constexpr int Attempts = 5;
        for (int attempt = 1;; ++attempt) {
            if (MoveFileExW(from.c_str(), to.c_str(), flags)) return;
            const DWORD code = GetLastError();
            const bool transient =
                code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
            if (!transient || attempt == Attempts) {
                SetLastError(code);
                ThrowSystemError();
            }
            Sleep(50);
        }
    }
#else
    void Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) ThrowSystemError();
    }

    void MoveNew(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
        if (errno != EINVAL && errno != ENOSYS) ThrowSystemError();
        // A file system without that kind of rename: a second name, refused when taken, then the
        // first name goes.
        if (::link(from.c_str(), to.c_str()) != 0) ThrowSystemError();
        if (::unlink(from.c_str()) != 0) ThrowSystemError();
    }

    bool Link(const std::filesystem::path& existing, const std::filesystem::path& link) override {
        if (::link(existing.c_str(), link.c_str()) == 0) return true;
        if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK) return false;
        ThrowSystemError();
    }

    void Remove(const std::filesystem::path& path) override {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) ThrowSystemError();
    }

    void CreateFolder(const std::filesystem::path& path) override {
        // Searchable and readable like the folders around it; the umask takes away the rest.
        if (::mkdir(path.c_str(), 0777) != 0) ThrowSystemError();
    }

    void RemoveFolder(const std::filesystem::path& path) override {
        if (::rmdir(path.c_str()) == 0) return;
        if (errno == ENOENT || errno == ENOTEMPTY || errno == EEXIST) return;
        ThrowSystemError();
    }

    void SyncFolder(const std::filesystem::path& folder) override {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) ThrowSystemError();
        const int result = ::fsync(fd);
        const int code = errno;
        ::close(fd);
        // Some file systems cannot sync a folder at all; their names are as durable as they get.
        if (result != 0 && code != EINVAL && code != EROFS) {
            errno = code;
            ThrowSystemError();
        }
    }

    bool Exists(const std::filesystem::path& path) override {
        struct stat info {};
        return ::lstat(path.c_str(), &info) == 0;
    }
#endif
};

}  // namespace

FileSystem& HostFileSystem() {
    static HostFiles files;
    return files;
}

}  // namespace tw

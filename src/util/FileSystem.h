#pragma once

#include "util/FileLock.h"
#include "util/Stream.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace tw {

// The changes on disk that a save is made of. Everything that writes the game's files goes
// through one of these, so that tests can make any single step fail, or stop the program between
// two steps, and prove that the files are still whole afterwards.
//
// Every operation throws FileError with the platform's description when it fails.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates `path` as a new empty file open for reading and writing, shared with nobody. Fails
    // when anything (a file, a folder, a symbolic link) already has that name, so a link planted
    // there is never followed. With `like`, the new file takes that file's permission bits and,
    // where the process may change it, its owner.
    virtual std::unique_ptr<Stream> CreateNew(const std::filesystem::path& path,
                                              const std::filesystem::path* like = nullptr) = 0;
    // Moves `from` to `to` in one step, replacing whatever file `to` names.
    virtual void Replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Moves `from` to `to` in one step; fails when `to` exists.
    virtual void MoveNew(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Gives the file `existing` the second name `link`. False, with nothing changed, where the
    // file system has no hard links (and always on Windows: see the implementation).
    virtual bool Link(const std::filesystem::path& existing, const std::filesystem::path& link) = 0;
    // Removes the file `path`; a name that does not exist is no failure.
    virtual void Remove(const std::filesystem::path& path) = 0;
    // Creates the folder `path`; fails when anything has that name already.
    virtual void CreateFolder(const std::filesystem::path& path) = 0;
    // Removes the folder `path` when it is empty; one that holds anything, or that does not
    // exist, is left as it is without a failure.
    virtual void RemoveFolder(const std::filesystem::path& path) = 0;
    // Makes the names in `folder` durable: a move or removal in it survives a power cut.
    virtual void SyncFolder(const std::filesystem::path& folder) = 0;
    // Whether anything has the name `path` (a link counts itself, not its target).
    virtual bool Exists(const std::filesystem::path& path) = 0;
    // Waits for `lock` and takes it: the lock that keeps readers out while a save moves files.
    virtual void Lock(FileLock& lock, FileLock::Kind kind) { lock.Lock(kind); }
    // Reads one of the program's own small files (a journal, a manifest) whole, never through a
    // link and never more than `maxBytes`. Throws FileError with the reason: "not found", "not a
    // regular file", "too large (N bytes)" or the platform's description.
    virtual std::string ReadOwn(const std::filesystem::path& path, std::size_t maxBytes);
};

// The machine's own file system.
FileSystem& HostFileSystem();

}  // namespace tw

#pragma once

#include "store/Journal.h"
#include "util/FileLock.h"
#include "util/FileSystem.h"
#include "util/Status.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace tw {

// Changes several files as one: after Commit every file holds its new content, and after a
// failure, or a kill at any moment followed by RecoverTransaction, every file holds its old
// content. Nothing of the transaction stays behind in the files' folders.
//
// How: each new content is written into a temporary file beside its target, under a fresh
// unpredictable name created exclusively, and flushed. A journal in the state folder names
// every temporary file before the first one is created, and is written again before the first
// target is touched. Each old file keeps a second name (a hard link, or the old file moved
// aside where there are none) until every target is in place; a failure moves the old files
// back. Only then are the old files let go of and the journal removed.
//
// Use: plan every change, Prepare, Write each new content, Commit. A transaction that is
// destroyed before its Commit succeeded leaves every target as it was.
class FileTransaction {
public:
    // `scope` is the installation whose files the transaction changes: its journal names it, and
    // a recovery acts only inside it. `commitLock`, when given, is taken exclusively around the
    // moves, so that a reader that holds it shared sees all old files or all new ones.
    FileTransaction(FileSystem& files, std::filesystem::path stateFolder, JournalScope scope,
                    FileLock* commitLock = nullptr);
    ~FileTransaction();
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    // Planning, before Prepare; each returns the change's number. Paths are made absolute, with
    // the links of their folders resolved. A target that is a symbolic link is changed where the
    // link leads, so the link stays a link.
    std::size_t Replace(const std::filesystem::path& target);
    // The target must still not exist when the transaction commits. Folders of its path that do
    // not exist are created with it, and removed again when the transaction is undone.
    std::size_t Create(const std::filesystem::path& target);
    std::size_t Remove(const std::filesystem::path& target);

    // Names the temporary files, writes the journal, and creates the new files' folders.
    Status Prepare();
    // Writes the new content of change `index` into its temporary file and flushes it; a
    // replaced file's permission bits and owner carry over. `write` may fail with a reason of
    // its own or by throwing FileError.
    Status Write(std::size_t index, const std::function<Status(Stream&)>& write);
    // Puts every change in place, or none. After a failure FailedChange() tells which change
    // could not be made (none when the journal itself failed).
    Status Commit();

    std::optional<std::size_t> FailedChange() const { return failed_; }
    // Where change `index` lands: its target, with links followed.
    const std::filesystem::path& Target(std::size_t index) const { return journal_.entries.at(index).target; }
    // Where the new content of change `index` is written before the commit (after Prepare).
    const std::filesystem::path& Temporary(std::size_t index) const { return journal_.entries.at(index).temporary; }
    std::size_t Size() const { return journal_.entries.size(); }

private:
    std::size_t Plan(Journal::Change change, const std::filesystem::path& target);
    void Abandon();

    FileSystem& files_;
    std::filesystem::path stateFolder_;
    JournalScope scope_;
    FileLock* commitLock_;
    Journal journal_;
    std::vector<bool> written_;
    std::optional<std::size_t> failed_;
    Status planFailure_;
    bool prepared_ = false;
    bool finished_ = false;
};

// Finishes or undoes the transaction whose journal a killed process left in `stateFolder`
// (undone when it had not reached the point where every target was in place), and removes every
// temporary file it names. Nothing to do when there is no journal. Fails, with the reason, when
// the journal is damaged, names anything outside `scope` or any name the transaction does not
// give its own files (see CheckJournalScope), or a file cannot be put back; the journal then stays,
// untouched, for another try or for the person to look at.
Status RecoverTransaction(FileSystem& files, const std::filesystem::path& stateFolder, const JournalScope& scope);

// `path` absolute, with the links of its folders resolved and its own name kept (a link stays
// itself): how the journal names paths.
std::filesystem::path AbsoluteBeside(const std::filesystem::path& path);

}  // namespace tw

#include "store/FileTransaction.h"

#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/HostPath.h"
#include "util/RandomName.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace tw {
namespace {

namespace fs = std::filesystem;

// The file a chain of symbolic links ends at (the path itself when it is no link). Fails for a
// link that leads nowhere or in a circle.
Status FollowLinks(const fs::path& target, fs::path& file) {
    fs::path at = target;
    std::error_code ec;
    for (int hops = 0; fs::is_symlink(at, ec); ++hops) {
        if (hops == 40) return Status::Failure(PathText(target) + ": too many levels of symbolic links");
        const fs::path to = fs::read_symlink(at, ec);
        if (ec) return Status::Failure(PathText(at) + ": " + ec.message());
        at = (to.is_absolute() ? to : at.parent_path() / to).lexically_normal();
    }
    file = at;
    return {};
}

// The journal is replaced whole, so that it is always complete on disk: written under a fresh
// name in the state folder, flushed, moved over the old one, and the folder synced.
void WriteJournal(FileSystem& files, const fs::path& stateFolder, const Journal& journal) {
    const fs::path temporary = stateFolder / (std::string(JournalName) + "." + RandomHex(8) + ".new");
    try {
        {
            std::unique_ptr<Stream> out = files.CreateNew(temporary);
            out->Write(std::string_view(EncodeJournal(journal)));
            out->Flush();
        }
        files.Replace(temporary, JournalPath(stateFolder));
    } catch (const FileError&) {
        try {
            files.Remove(temporary);
        } catch (const FileError&) {
        }
        throw;
    }
    files.SyncFolder(stateFolder);
}

void RemoveJournal(FileSystem& files, const fs::path& stateFolder) {
    files.Remove(JournalPath(stateFolder));
    files.SyncFolder(stateFolder);
}

std::set<fs::path> TargetFolders(const Journal& journal) {
    std::set<fs::path> folders;
    for (const Journal::Entry& entry : journal.entries) folders.insert(entry.target.parent_path());
    return folders;
}

// Runs every step it is given, even after one failed (another program holding one file must not
// keep the others from being put right), and remembers the first failure.
class Steps {
public:
    template <typename Step>
    void Try(Step step) {
        try {
            step();
        } catch (const FileError& e) {
            if (failure_.empty()) failure_ = e.what();
        }
    }
    bool Failed() const { return !failure_.empty(); }
    const std::string& Failure() const { return failure_; }

private:
    std::string failure_;
};

// Folders the transaction would have created, and removed again, have nothing to sync.
void SyncFolders(FileSystem& files, const Journal& journal, Steps& steps) {
    for (const fs::path& folder : TargetFolders(journal))
        if (files.Exists(folder)) steps.Try([&] { files.SyncFolder(folder); });
}

// Removes every name of the transaction that is not a target: the temporary files and the old
// files' second names. Only used once every target holds the file it should keep, so a second
// name is never the last one.
void RemoveLeftovers(FileSystem& files, const Journal& journal, Steps& steps) {
    for (const Journal::Entry& entry : journal.entries) {
        if (!entry.temporary.empty()) steps.Try([&] { files.Remove(entry.temporary); });
        if (!entry.kept.empty()) steps.Try([&] { files.Remove(entry.kept); });
    }
    SyncFolders(files, journal, steps);
}

// Removes the folders that the transaction created, innermost first, where they are empty: when
// nothing of it stays in place.
void RemoveCreatedFolders(FileSystem& files, const Journal& journal, Steps& steps) {
    for (auto it = journal.folders.rbegin(); it != journal.folders.rend(); ++it) {
        steps.Try([&] { files.RemoveFolder(*it); });
        steps.Try([&] { files.SyncFolder(it->parent_path()); });
    }
}

// What undoing a commit achieved.
enum class Undone {
    Clean,      // every old file is back and nothing of the transaction is left
    Leftovers,  // every old file is back; some names of the transaction could not be removed
    Broken,     // an old file could not be put back
};

// What undoing a commit achieved, and the system's words for what failed of it.
struct UndoOutcome {
    Undone state = Undone::Clean;
    std::string failure;
};

// Puts the old files back after some of the moves, in any state a commit can leave: each step
// looks at which names still exist, so running it again after it was cut short is safe.
UndoOutcome Undo(FileSystem& files, const Journal& journal) {
    Steps restore;
    for (auto it = journal.entries.rbegin(); it != journal.entries.rend(); ++it) {
        const Journal::Entry& entry = *it;
        switch (entry.change) {
            case Journal::Change::Replace:
                // The old file moves back unless it is still in place (the new one not moved yet,
                // the old one beside its second name).
                if (files.Exists(entry.kept) && !(files.Exists(entry.temporary) && files.Exists(entry.target)))
                    restore.Try([&] { files.Replace(entry.kept, entry.target); });
                break;
            case Journal::Change::Create:
                // Every temporary file existed when the moves began: one that is gone was moved.
                if (!files.Exists(entry.temporary)) restore.Try([&] { files.Remove(entry.target); });
                break;
            case Journal::Change::Remove:
                if (files.Exists(entry.kept)) restore.Try([&] { files.Replace(entry.kept, entry.target); });
                break;
        }
    }
    SyncFolders(files, journal, restore);
    if (restore.Failed()) {
        return {Undone::Broken, restore.Failure()};
    }
    Steps cleanup;
    RemoveLeftovers(files, journal, cleanup);
    RemoveCreatedFolders(files, journal, cleanup);
    return {cleanup.Failed() ? Undone::Leftovers : Undone::Clean, cleanup.Failure()};
}

// Ends a transaction whose journal can go: removed when nothing is left over, else rewritten as
// "prepared" (nothing of it in place), so that the leftovers are removed by a later recovery and
// nobody takes the game for being in the middle of a save.
void Close(FileSystem& files, const fs::path& stateFolder, Journal journal, bool leftovers) {
    if (!leftovers) {
        RemoveJournal(files, stateFolder);
        return;
    }
    journal.state = Journal::State::Prepared;
    WriteJournal(files, stateFolder, journal);
}

void Apply(FileSystem& files, const Journal::Entry& entry) {
    switch (entry.change) {
        case Journal::Change::Replace:
            // The old file stays reachable under its second name until the commit is whole.
            if (!files.Link(entry.target, entry.kept)) files.MoveNew(entry.target, entry.kept);
            files.Replace(entry.temporary, entry.target);
            break;
        case Journal::Change::Create:
            files.MoveNew(entry.temporary, entry.target);
            break;
        case Journal::Change::Remove:
            files.MoveNew(entry.target, entry.kept);
            break;
    }
}

// Holds the commit lock exclusively for the life of the object, once Take has succeeded.
class CommitHold {
public:
    explicit CommitHold(FileLock* lock) : lock_(lock) {}
    ~CommitHold() {
        if (taken_) lock_->Unlock();
    }
    CommitHold(const CommitHold&) = delete;
    CommitHold& operator=(const CommitHold&) = delete;

    // Throws FileError when the lock cannot be taken (the system may refuse a lock: ENOLCK, EIO).
    void Take(FileSystem& files) {
        if (lock_ == nullptr) return;
        files.Lock(*lock_, FileLock::Kind::Exclusive);
        taken_ = true;
    }

private:
    FileLock* lock_;
    bool taken_ = false;
};

}  // namespace

fs::path AbsoluteBeside(const fs::path& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (ec || !absolute.has_filename()) return absolute;
    fs::path folder = fs::weakly_canonical(absolute.parent_path(), ec);
    if (ec) folder = absolute.parent_path();
    return folder / absolute.filename();
}

FileTransaction::FileTransaction(FileSystem& files, fs::path stateFolder, JournalScope scope, FileLock* commitLock)
    : files_(files), stateFolder_(std::move(stateFolder)), scope_(std::move(scope)), commitLock_(commitLock) {
    journal_.scope = scope_;
}

FileTransaction::~FileTransaction() {
    if (prepared_ && !finished_) Abandon();
}

std::size_t FileTransaction::Plan(Journal::Change change, const fs::path& given) {
    Journal::Entry entry;
    entry.change = change;
    const fs::path target = AbsoluteBeside(given);
    entry.target = target;
    if (change == Journal::Change::Replace) {
        fs::path file;
        const Status followed = FollowLinks(target, file);
        if (!followed && planFailure_) planFailure_ = followed;
        if (followed && file != target) {
            entry.via = target;
            entry.target = AbsoluteBeside(file);
        }
    }
    if (change == Journal::Change::Create) {
        // The folders that are missing, outermost first.
        std::vector<fs::path> missing;
        for (fs::path folder = target.parent_path(); !folder.empty() && !files_.Exists(folder);
             folder = folder.parent_path()) {
            if (folder == folder.parent_path()) break;
            missing.push_back(folder);
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it)
            if (std::find(journal_.folders.begin(), journal_.folders.end(), *it) == journal_.folders.end())
                journal_.folders.push_back(*it);
    }
    journal_.entries.push_back(std::move(entry));
    written_.push_back(change == Journal::Change::Remove);
    return journal_.entries.size() - 1;
}

std::size_t FileTransaction::Replace(const fs::path& target) { return Plan(Journal::Change::Replace, target); }
std::size_t FileTransaction::Create(const fs::path& target) { return Plan(Journal::Change::Create, target); }
std::size_t FileTransaction::Remove(const fs::path& target) { return Plan(Journal::Change::Remove, target); }

Status FileTransaction::Prepare() {
    if (!planFailure_) return planFailure_;
    // What an earlier transaction could not finish (names another program held) ends first: the
    // new journal takes the old one's place.
    if (Status recovered = RecoverTransaction(files_, stateFolder_, scope_); !recovered) return recovered;
    for (Journal::Entry& entry : journal_.entries) {
        if (entry.change != Journal::Change::Remove) entry.temporary = FreshNameBeside(entry.target, ".new");
        if (entry.change != Journal::Change::Create) entry.kept = FreshNameBeside(entry.target, ".old");
    }
    journal_.state = Journal::State::Prepared;
    try {
        WriteJournal(files_, stateFolder_, journal_);
    } catch (const FileError& e) {
        return Status::Failure(PathText(JournalPath(stateFolder_)) + ": " + e.what());
    }
    prepared_ = true;
    // Only now that the journal names them: a kill from here on leaves nothing unrecorded.
    for (const fs::path& folder : journal_.folders) {
        try {
            files_.CreateFolder(folder);
            files_.SyncFolder(folder.parent_path());
        } catch (const FileError& e) {
            return Status::Failure(PathText(folder) + ": " + e.what());
        }
    }
    return {};
}

Status FileTransaction::Write(std::size_t index, const std::function<Status(Stream&)>& write) {
    const Journal::Entry& entry = journal_.entries.at(index);
    Status status;
    try {
        std::unique_ptr<Stream> out =
            files_.CreateNew(entry.temporary, entry.change == Journal::Change::Replace ? &entry.target : nullptr);
        status = write(*out);
        if (status) out->Flush();
    } catch (const FileError& e) {
        status = Status::Failure(PathText(entry.target) + ": " + e.what());
    }
    if (status) written_[index] = true;
    return status;
}

Status FileTransaction::Commit() {
    for (std::size_t i = 0; i < written_.size(); ++i)
        if (!written_[i]) return Status::Failure(PathText(Target(i)) + ": its new content was not written");

    CommitHold hold(commitLock_);
    try {
        hold.Take(files_);
    } catch (const FileError& e) {
        return Status::Failure(PathText(stateFolder_ / "commit.lock") + ": " + e.what());
    }
    try {
        journal_.state = Journal::State::Committing;
        WriteJournal(files_, stateFolder_, journal_);
    } catch (const FileError& e) {
        return Status::Failure(PathText(JournalPath(stateFolder_)) + ": " + e.what());
    }

    std::string failure;
    for (std::size_t i = 0; i < journal_.entries.size() && failure.empty(); ++i) {
        try {
            Apply(files_, journal_.entries[i]);
        } catch (const FileError& e) {
            failed_ = i;
            failure = PathText(Target(i)) + ": " + e.what();
        }
    }
    if (failure.empty()) {
        Steps synced;
        SyncFolders(files_, journal_, synced);
        try {
            if (synced.Failed()) throw FileError(synced.Failure());
            journal_.state = Journal::State::Committed;
            WriteJournal(files_, stateFolder_, journal_);
        } catch (const FileError& e) {
            failure = PathText(JournalPath(stateFolder_)) + ": " + e.what();
        }
    }
    finished_ = true;
    if (!failure.empty()) {
        // The journal on disk still says "committing": if this is cut short, recovery goes on.
        journal_.state = Journal::State::Committing;
        const UndoOutcome undone = Undo(files_, journal_);
        if (undone.state == Undone::Broken) {
            return Status::Failure(failure + "; and an old file could not be put back (" + undone.failure +
                                   "): that is done the next time the game is opened");
        }
        try {
            Close(files_, stateFolder_, journal_, undone.state == Undone::Leftovers);
        } catch (const FileError&) {
            // The journal still names everything; the next recovery ends it.
        }
        return Status::Failure(failure);
    }

    // Every file is in place. What cannot be let go of now (another program holding an old file)
    // stays named in the journal, and the next transaction or recovery removes it.
    Steps letGo;
    RemoveLeftovers(files_, journal_, letGo);
    if (!letGo.Failed()) {
        try {
            RemoveJournal(files_, stateFolder_);
        } catch (const FileError&) {
        }
    }
    return {};
}

void FileTransaction::Abandon() {
    finished_ = true;
    // Nothing was moved: only temporary files can exist.
    Steps removed;
    RemoveLeftovers(files_, journal_, removed);
    RemoveCreatedFolders(files_, journal_, removed);
    if (removed.Failed()) return;  // the journal names what is left, for the next recovery
    try {
        RemoveJournal(files_, stateFolder_);
    } catch (const FileError&) {
    }
}

Status RecoverTransaction(FileSystem& files, const fs::path& stateFolder, const JournalScope& scope) {
    const fs::path journalPath = JournalPath(stateFolder);
    try {
        // Journals that were never moved into place hold nothing that happened.
        std::error_code ec;
        for (fs::directory_iterator it(stateFolder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.starts_with(std::string(JournalName) + ".") && name.ends_with(".new")) files.Remove(it->path());
        }
        if (!files.Exists(journalPath)) return {};

        Journal journal;
        if (Status read = ReadJournal(files, journalPath, journal); !read) return read;
        // A journal is input like any file: it is acted on only where it names this installation's
        // own files, and a link it went through must still lead where it says.
        Status trusted = CheckJournalScope(journal, scope);
        for (const Journal::Entry& entry : journal.entries) {
            if (!trusted || entry.via.empty()) continue;
            fs::path now;
            if (!FollowLinks(entry.via, now) || AbsoluteBeside(now) != entry.target)
                trusted = Status::Failure("\"" + PathText(entry.via) + "\" no longer leads to \"" + PathText(entry.target) + "\"");
        }
        if (!trusted)
            return Status::Failure(PathText(journalPath) + ": a journal of an interrupted save that cannot be trusted: " +
                                   trusted.Reason() + ". Nothing of it was done. If no save of this game was " +
                                   "interrupted, remove the journal; if one was, check the game's files first " +
                                   "(its kept original files are in \"" + PathText(scope.originalsFolder) + "\").");
        bool leftovers = false;
        if (journal.state == Journal::State::Committing) {
            const UndoOutcome undone = Undo(files, journal);
            if (undone.state == Undone::Broken) return Status::Failure(undone.failure, ErrorKind::System);
            leftovers = undone.state == Undone::Leftovers;
        } else {
            // Prepared: nothing was moved. Committed: everything was. Either way, every target
            // holds the file it keeps, and only the other names go (and, when nothing was moved,
            // the folders made for the new files).
            Steps removed;
            RemoveLeftovers(files, journal, removed);
            if (journal.state == Journal::State::Prepared) RemoveCreatedFolders(files, journal, removed);
            leftovers = removed.Failed();
        }
        // What another program still holds is removed another time; the game itself is whole.
        Close(files, stateFolder, journal, leftovers);
    } catch (const FileError& e) {
        return Status::Failure(PathText(journalPath) + ": " + e.what());
    }
    return {};
}

}  // namespace tw

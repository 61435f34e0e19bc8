#include "gamefiles/FileTransaction.h"

#include "gamefiles/HostPath.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/RandomName.h"

#include <set>
#include <system_error>

namespace tw {
namespace {

namespace fs = std::filesystem;

constexpr const char* JournalName = "journal";
// Journals are a few lines per file; anything much larger is not one of ours.
constexpr std::uint64_t MaxJournalBytes = 1 << 20;

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
    const fs::path temporary = stateFolder / ("journal." + RandomHex(8) + ".new");
    try {
        {
            std::unique_ptr<Stream> out = files.CreateNew(temporary);
            out->Write(std::string_view(EncodeJournal(journal)));
            out->Flush();
        }
        files.Replace(temporary, stateFolder / JournalName);
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
    files.Remove(stateFolder / JournalName);
    files.SyncFolder(stateFolder);
}

std::set<fs::path> TargetFolders(const Journal& journal) {
    std::set<fs::path> folders;
    for (const Journal::Entry& entry : journal.entries) folders.insert(entry.target.parent_path());
    return folders;
}

void SyncFolders(FileSystem& files, const Journal& journal) {
    for (const fs::path& folder : TargetFolders(journal)) files.SyncFolder(folder);
}

// Puts the old files back after some of the moves, in any state a commit can leave: each step
// looks at which names still exist, so running it again after it was cut short is safe.
void Undo(FileSystem& files, const Journal& journal) {
    for (auto it = journal.entries.rbegin(); it != journal.entries.rend(); ++it) {
        const Journal::Entry& entry = *it;
        switch (entry.change) {
            case Journal::Change::Replace:
                if (files.Exists(entry.kept)) {
                    // The new file not moved yet, and the old one still in place beside its second
                    // name: only the second name goes. Otherwise the old file moves back.
                    if (files.Exists(entry.temporary) && files.Exists(entry.target))
                        files.Remove(entry.kept);
                    else
                        files.Replace(entry.kept, entry.target);
                }
                files.Remove(entry.temporary);
                break;
            case Journal::Change::Create:
                // Every temporary file existed when the moves began: one that is gone was moved.
                if (!files.Exists(entry.temporary)) files.Remove(entry.target);
                files.Remove(entry.temporary);
                break;
            case Journal::Change::Remove:
                if (files.Exists(entry.kept)) files.Replace(entry.kept, entry.target);
                break;
        }
    }
    SyncFolders(files, journal);
}

// Lets go of what a complete commit kept: the old files' second names, and any temporary file.
void LetGo(FileSystem& files, const Journal& journal) {
    for (const Journal::Entry& entry : journal.entries) {
        if (!entry.kept.empty()) files.Remove(entry.kept);
        if (!entry.temporary.empty()) files.Remove(entry.temporary);
    }
    SyncFolders(files, journal);
}

void RemoveTemporaries(FileSystem& files, const Journal& journal) {
    for (const Journal::Entry& entry : journal.entries)
        if (!entry.temporary.empty()) files.Remove(entry.temporary);
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

// Holds the commit lock exclusively for the life of the object.
class CommitHold {
public:
    explicit CommitHold(FileLock* lock) : lock_(lock) {
        if (lock_ != nullptr) lock_->Lock(FileLock::Kind::Exclusive);
    }
    ~CommitHold() {
        if (lock_ != nullptr) lock_->Unlock();
    }
    CommitHold(const CommitHold&) = delete;
    CommitHold& operator=(const CommitHold&) = delete;

private:
    FileLock* lock_;
};

}  // namespace

FileTransaction::FileTransaction(FileSystem& files, fs::path stateFolder, FileLock* commitLock)
    : files_(files), stateFolder_(std::move(stateFolder)), commitLock_(commitLock) {}

FileTransaction::~FileTransaction() {
    if (prepared_ && !finished_) Abandon();
}

std::size_t FileTransaction::Plan(Journal::Change change, const fs::path& target) {
    Journal::Entry entry;
    entry.change = change;
    entry.target = target;
    if (change == Journal::Change::Replace) {
        const Status followed = FollowLinks(target, entry.target);
        if (!followed && planFailure_) planFailure_ = followed;
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
    for (Journal::Entry& entry : journal_.entries) {
        if (entry.change != Journal::Change::Remove) entry.temporary = FreshNameBeside(entry.target, ".new");
        if (entry.change != Journal::Change::Create) entry.kept = FreshNameBeside(entry.target, ".old");
    }
    journal_.state = Journal::State::Prepared;
    try {
        WriteJournal(files_, stateFolder_, journal_);
    } catch (const FileError& e) {
        return Status::Failure(PathText(stateFolder_ / JournalName) + ": " + e.what());
    }
    prepared_ = true;
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
        journal_.state = Journal::State::Committing;
        WriteJournal(files_, stateFolder_, journal_);
    } catch (const FileError& e) {
        return Status::Failure(PathText(stateFolder_ / JournalName) + ": " + e.what());
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
        try {
            SyncFolders(files_, journal_);
            journal_.state = Journal::State::Committed;
            WriteJournal(files_, stateFolder_, journal_);
        } catch (const FileError& e) {
            failure = PathText(stateFolder_ / JournalName) + ": " + e.what();
        }
    }
    if (!failure.empty()) {
        // The journal still says "committing", so if this is cut short, recovery does the rest.
        try {
            Undo(files_, journal_);
            RemoveJournal(files_, stateFolder_);
        } catch (const FileError& e) {
            failure += "; the old files could not all be put back (" + std::string(e.what()) +
                       "), they will be the next time the game is opened";
        }
        finished_ = true;
        return Status::Failure(failure);
    }

    finished_ = true;
    try {
        LetGo(files_, journal_);
        RemoveJournal(files_, stateFolder_);
    } catch (const FileError&) {
        // Every file is in place; what is left over is removed by the next recovery.
    }
    return {};
}

void FileTransaction::Abandon() {
    finished_ = true;
    try {
        RemoveTemporaries(files_, journal_);
        RemoveJournal(files_, stateFolder_);
    } catch (const FileError&) {
        // The journal (if it is still there) names what is left, for the next recovery.
    }
}

Status RecoverTransaction(FileSystem& files, const fs::path& stateFolder) {
    const fs::path journalPath = stateFolder / JournalName;
    try {
        // Journals that were never moved into place hold nothing that happened.
        std::error_code ec;
        for (fs::directory_iterator it(stateFolder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.starts_with("journal.") && name.ends_with(".new")) files.Remove(it->path());
        }
        if (!files.Exists(journalPath)) return {};

        std::string text;
        {
            auto in = FileStream::Open(journalPath, FileMode::ReadShared);
            if (in->Length() > MaxJournalBytes) return Status::Failure(PathText(journalPath) + ": the journal is damaged (too large)");
            const std::vector<std::uint8_t> bytes = in->ReadAll();
            text.assign(bytes.begin(), bytes.end());
        }
        Journal journal;
        if (Status parsed = ParseJournal(text, journal); !parsed)
            return Status::Failure(PathText(journalPath) + ": " + parsed.Reason());
        switch (journal.state) {
            case Journal::State::Prepared: RemoveTemporaries(files, journal); break;
            case Journal::State::Committing: Undo(files, journal); break;
            case Journal::State::Committed: LetGo(files, journal); break;
        }
        RemoveJournal(files, stateFolder);
    } catch (const FileError& e) {
        return Status::Failure(PathText(journalPath) + ": " + e.what());
    }
    return {};
}

}  // namespace tw

#include "store/Installation.h"

#include "store/Journal.h"
#include "util/FileError.h"
#include "util/FolderIdentity.h"
#include "util/HostPath.h"
#include "util/OwnFolder.h"
#include "util/RandomName.h"
#include "util/Sha256.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include "util/Win32.h"
#else
#include <unistd.h>
#endif

namespace tw {
namespace {

namespace fs = std::filesystem;

unsigned long ProcessNumber() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

constexpr const char* IdentityName = "folder-identity";

// What one of the program's own folders records of the game folder it was made for: its
// identity, and the path that reached it then. Both empty when there is no record.
struct FolderRecord {
    std::string identity;
    fs::path game;
};

FolderRecord ReadRecord(FileSystem& files, const fs::path& folder) {
    std::string text;
    try {
        text = files.ReadOwn(folder / IdentityName, 4096);
    } catch (const FileError&) {
        return {};
    }
    const std::size_t first = text.find('\n');
    const std::size_t second = first == std::string::npos ? std::string::npos : text.find('\n', first + 1);
    if (second == std::string::npos) return {};
    return {text.substr(0, first), PathFromText(std::string_view(text).substr(first + 1, second - first - 1))};
}

std::string EncodeRecord(const std::string& identity, const fs::path& game) {
    return identity + "\n" + PathText(game) + "\n";
}

bool IsInstallationId(const std::string& name) {
    return name.size() == 64 && name.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

fs::path ChooseOwnFolder(FileSystem& files, const fs::path& root, const std::string& id, const std::string& identity,
                         std::string_view inUse) {
    const fs::path byPath = root / id;
    std::vector<fs::path> same;
    std::error_code ec;
    if (!identity.empty()) {
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path folder = it->path();
            if (folder == byPath || !IsInstallationId(folder.filename().string())) continue;
            // Only while the path that made it still reaches this very folder: a folder's number
            // is given again once the folder is deleted, and a store of a game that is gone must
            // never pass for this one's.
            const FolderRecord record = ReadRecord(files, folder);
            if (record.identity == identity && !record.game.empty() && FolderIdentity(record.game) == identity)
                same.push_back(folder);
        }
    }
    std::sort(same.begin(), same.end());
    auto used = [inUse](const fs::path& folder) {
        std::error_code missing;
        return fs::symlink_status(folder / inUse, missing).type() != fs::file_type::not_found;
    };
    if (used(byPath)) return byPath;
    for (const fs::path& folder : same)
        if (used(folder)) return folder;
    if (fs::exists(byPath, ec) || same.empty()) return byPath;
    return same.front();
}

Status RecordIdentity(FileSystem& files, const fs::path& folder, const std::string& identity, const fs::path& gameFolder) {
    if (identity.empty()) return {};
    const FolderRecord now = ReadRecord(files, folder);
    // A record another path made stays: it names the path that proves the folder is the same.
    if (now.identity == identity && !now.game.empty()) return {};
    // Written beside and moved into place: a reader sees the old record or the new one.
    const fs::path temporary = FreshNameBeside(folder / IdentityName, ".new");
    try {
        {
            std::unique_ptr<Stream> out = files.CreateNew(temporary);
            out->Write(std::string_view(EncodeRecord(identity, gameFolder)));
        }
        files.Replace(temporary, folder / IdentityName);
    } catch (const FileError& e) {
        try {
            files.Remove(temporary);
        } catch (const FileError&) {
        }
        return Status::Failure(PathText(folder / IdentityName) + ": " + e.what());
    }
    return {};
}

fs::path CanonicalFolder(const fs::path& folder) {
    std::error_code ec;
#ifdef _WIN32
    HANDLE h = CreateFileW(fs::absolute(folder, ec).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        std::wstring name(MAX_PATH, L'\0');
        DWORD length = GetFinalPathNameByHandleW(h, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
        if (length >= name.size()) {
            name.resize(length + 1);
            length = GetFinalPathNameByHandleW(h, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
        }
        CloseHandle(h);
        if (length > 0 && length < name.size()) {
            name.resize(length);
            if (name.starts_with(L"\\\\?\\UNC\\"))
                name = L"\\\\" + name.substr(8);
            else if (name.starts_with(L"\\\\?\\"))
                name = name.substr(4);
            return fs::path(name);
        }
    }
#endif
    fs::path canonical = fs::canonical(folder, ec);
    if (ec) canonical = fs::absolute(folder, ec).lexically_normal();
    return canonical;
}

fs::path DefaultStateRoot(const EnvironmentLookup& environment) {
    auto absolute = [&](const char* name) { return AbsoluteFolderFromEnvironment(environment, name); };
#ifdef _WIN32
    if (fs::path local = absolute("LOCALAPPDATA"); !local.empty()) return local / "Trackwright";
    return {};
#else
    if (fs::path state = absolute("XDG_STATE_HOME"); !state.empty()) return state / "trackwright";
    if (fs::path home = absolute("HOME"); !home.empty()) return home / ".local" / "state" / "trackwright";
    return {};
#endif
}

std::string InstallationId(const fs::path& gameFolder) {
    return Sha256::Hex(PathText(CanonicalFolder(gameFolder)));
}

Installation::Installation(fs::path gameFolder, fs::path stateFolder, FileSystem& files)
    : gameFolder_(CanonicalFolder(gameFolder)), stateFolder_(std::move(stateFolder)), files_(files) {}

Installation::~Installation() = default;

Expected<std::unique_ptr<Installation>> Installation::Open(const fs::path& gameFolder, const InstallationOptions& options,
                                                           Intent intent) {
    FileSystem& files = options.files != nullptr ? *options.files : HostFileSystem();
    const std::string folderText = "\"" + PathText(gameFolder) + "\"";
    std::error_code ec;
    if (!fs::is_directory(gameFolder, ec))
        return std::unique_ptr<Installation>(new Installation(gameFolder, {}, files));

    const fs::path root = options.stateRoot.empty() ? DefaultStateRoot(ProcessEnvironment()) : options.stateRoot;
    auto cannotGuard = [&](const std::string& why) -> Expected<std::unique_ptr<Installation>> {
        // A reader can do without the locks: it changes nothing. A writer cannot.
        if (intent == Intent::Read) return std::unique_ptr<Installation>(new Installation(gameFolder, {}, files));
        return Failure("The game in " + folderText + " cannot be changed safely: " + why, ErrorKind::System);
    };
    if (root.empty()) return cannotGuard("no home folder is set in the environment for Trackwright's own state.");
    // One folder reached through two paths is one installation: its state and kept originals are
    // found by what the folder is, wherever they were made first.
    const std::string identity = FolderIdentity(gameFolder);
    const std::string id = InstallationId(gameFolder);
    const fs::path state = ChooseOwnFolder(files, root, id, identity, JournalName);
    if (Status own = MakeOwnFolders(root, state); !own) return cannotGuard(own.Reason());
    if (Status recorded = RecordIdentity(files, state, identity, CanonicalFolder(gameFolder)); !recorded)
        return cannotGuard(recorded.Reason());

    std::unique_ptr<Installation> installation(new Installation(gameFolder, state, files));
    installation->holder_ = options.holder.empty() ? "Trackwright" : options.holder;
    installation->identity_ = identity;
    const fs::path originalsRoot =
        options.originalsRoot.empty() ? DefaultOriginalsRoot(ProcessEnvironment()) : options.originalsRoot;
    if (!originalsRoot.empty()) {
        // The store's own folders start at "trackwright" when it is the default place.
        installation->originalsBase_ = options.originalsRoot.empty() ? originalsRoot.parent_path() : originalsRoot;
        const fs::path kept = ChooseOwnFolder(files, originalsRoot, id, identity, KeptOriginalsFolder::ManifestName);
        installation->originals_ = KeptOriginalsFolder(kept, files);
    }
    try {
        installation->commitLock_ = std::make_unique<FileLock>(state / "commit.lock");
    } catch (const FileError& e) {
        return cannotGuard(PathText(state / "commit.lock") + ": " + e.what());
    }
    if (intent == Intent::Read) {
        if (Status recovered = installation->RecoverForReading(); !recovered) return std::move(recovered).Err();
        return installation;
    }
    bool taken = false;
    if (Status locked = installation->TakeWriterLock(taken); !locked) return cannotGuard(locked.Reason());
    if (taken) {
        if (Status recovered = installation->Recover(); !recovered) return std::move(recovered).Err();
        return installation;
    }
    std::string holder;
    try {
        if (!installation->otherPath_) holder = installation->writerLock_->ReadNote();
    } catch (const FileError&) {
    }
    if (holder.empty())
        holder = installation->otherPath_ ? "another Trackwright program, which reached it through another path"
                                          : "another Trackwright program";
    // The editor holds the game until it is closed: waiting for it to finish would be waiting
    // for the person.
    if (holder.starts_with(EditorHolder))
        return Failure("The game in " + folderText + " is open in " + holder + "; save and close it there, then try again.",
                       ErrorKind::Busy)
            .About(holder);
    return Failure("The game in " + folderText + " is being changed by " + holder +
                       ". Only one program at a time may change it; try again when it has finished.",
                   ErrorKind::Busy)
        .About(holder);
}

void Installation::StopWriting() {
    if (writerLock_ && writerLock_->Held()) writerLock_->Unlock();
    if (folderLock_) folderLock_->Unlock();
}

Status Installation::TakeWriterLock(bool& taken) {
    taken = false;
    const fs::path lockFile = stateFolder_ / "writer.lock";
    try {
        if (!writerLock_) writerLock_ = std::make_unique<FileLock>(lockFile);
        if (!writerLock_->TryLock(FileLock::Kind::Exclusive)) return {};
        // The game folder itself too: two programs that found it through different paths, before
        // either had recorded what the folder is, still exclude each other.
        if (!folderLock_) folderLock_ = std::make_unique<FolderLock>(gameFolder_, stateFolder_.parent_path(), identity_);
        if (!folderLock_->TryLock()) {
            writerLock_->Unlock();
            otherPath_ = true;
            return {};
        }
        // Written only when it says something else: the file changes, and waits for the disk,
        // only when another program held the installation last.
        const std::string note = holder_ + " (process " + std::to_string(ProcessNumber()) + ")";
        if (writerLock_->ReadNote() != note) writerLock_->WriteNote(note);
    } catch (const FileError& e) {
        if (writerLock_) writerLock_->Unlock();
        if (folderLock_) folderLock_->Unlock();
        return Status::Failure(PathText(lockFile) + ": " + e.what());
    }
    taken = true;
    return {};
}

bool Installation::JournalLeft() const {
    std::error_code ec;
    return fs::symlink_status(JournalPath(stateFolder_), ec).type() != fs::file_type::not_found;
}

Status Installation::RecoverForReading() {
    // A journal whose writer is alive is that writer's business; one nobody holds the writer lock
    // for was left by a program that died.
    if (!JournalLeft()) return {};
    bool taken = false;
    if (Status locked = TakeWriterLock(taken); !locked) return locked;
    if (!taken) return {};
    const Status recovered = Recover();
    StopWriting();
    return recovered;
}

Status Installation::Recover() {
    // Before anything is read: a save that an earlier writer left half done is finished or undone.
    Status recovered = RecoverTransaction(files_, stateFolder_, Scope());
    if (recovered) return {};
    writerLock_->Unlock();
    return Status::Failure("A save of the game in \"" + PathText(gameFolder_) +
                           "\" was interrupted and could not be finished or undone: " + recovered.Reason());
}

std::unique_ptr<FileTransaction> Installation::Begin() {
    if (!Writes()) return nullptr;
    return std::make_unique<FileTransaction>(files_, stateFolder_, Scope(), commitLock_.get());
}

JournalScope Installation::Scope() const {
    JournalScope scope;
    scope.gameFolder = gameFolder_;
    if (!originals_.Folder().empty()) scope.originalsFolder = AbsoluteBeside(originals_.Folder());
    return scope;
}

bool Installation::CommitInterrupted() const {
    Journal journal;
    return ReadJournal(files_, JournalPath(stateFolder_), journal) && journal.state == Journal::State::Committing;
}

Status Installation::HoldForReading(std::unique_ptr<FileLock>& hold) {
    hold.reset();
    if (Writes() || !commitLock_) return {};
    // A writer that is alive holds the commit lock for as long as its journal says "committing";
    // seeing that journal while holding the lock means the writer died in the middle.
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        try {
            auto lock = std::make_unique<FileLock>(stateFolder_ / "commit.lock");
            lock->Lock(FileLock::Kind::Shared);
            if (!CommitInterrupted()) {
                hold = std::move(lock);
                return {};
            }
        } catch (const FileError& e) {
            return Status::Failure(PathText(stateFolder_ / "commit.lock") + ": " + e.what());
        }
        bool taken = false;
        if (Status locked = TakeWriterLock(taken); !locked) return locked;
        if (taken) {
            // Recovered under the writer lock, which goes again: a reader never keeps it.
            const Status recovered = Recover();
            StopWriting();
            if (!recovered) return recovered;
            continue;
        }
        // Another program took the installation and is recovering it: wait for it.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return Status::Failure("The game in \"" + PathText(gameFolder_) + "\" stays in the middle of a save.");
}

}  // namespace tw

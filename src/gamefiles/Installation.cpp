#include "gamefiles/Installation.h"

#include "gamefiles/HostPath.h"
#include "gamefiles/Journal.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/Sha256.h"

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

// The folder's one true name: links resolved, and on Windows the letter case as stored.
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

}  // namespace

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
    : gameFolder_(std::move(gameFolder)), stateFolder_(std::move(stateFolder)), files_(files) {}

Installation::~Installation() = default;

std::unique_ptr<Installation> Installation::Open(const fs::path& gameFolder, const InstallationOptions& options,
                                                 Intent intent, Status& status, std::string* holderOut) {
    status = {};
    FileSystem& files = options.files != nullptr ? *options.files : HostFileSystem();
    const std::string folderText = "\"" + PathText(gameFolder) + "\"";
    std::error_code ec;
    if (!fs::is_directory(gameFolder, ec))
        return std::unique_ptr<Installation>(new Installation(gameFolder, {}, files));

    const fs::path root = options.stateRoot.empty() ? DefaultStateRoot(ProcessEnvironment()) : options.stateRoot;
    auto cannotGuard = [&](const std::string& why) -> std::unique_ptr<Installation> {
        // A reader can do without the locks: it changes nothing. A writer cannot.
        if (intent == Intent::Read) return std::unique_ptr<Installation>(new Installation(gameFolder, {}, files));
        status = Status::Failure("The game in " + folderText + " cannot be changed safely: " + why);
        return nullptr;
    };
    if (root.empty()) return cannotGuard("no home folder is set in the environment for Trackwright's own state.");
    const fs::path state = root / InstallationId(gameFolder);
    fs::create_directories(state, ec);
    if (ec) return cannotGuard(PathText(state) + ": " + ec.message());
    // The journal names the player's files; nobody else needs to read it. Set only when it is
    // not so yet: a change of the folder is a write to the disk, for every load.
    if (fs::status(state, ec).permissions() != fs::perms::owner_all)
        fs::permissions(state, fs::perms::owner_all, fs::perm_options::replace, ec);

    std::unique_ptr<Installation> installation(new Installation(gameFolder, state, files));
    installation->holder_ = options.holder.empty() ? "Trackwright" : options.holder;
    const fs::path originalsRoot =
        options.originalsRoot.empty() ? DefaultOriginalsRoot(ProcessEnvironment()) : options.originalsRoot;
    if (!originalsRoot.empty()) installation->originals_ = KeptOriginalsFolder(originalsRoot / state.filename());
    try {
        installation->commitLock_ = std::make_unique<FileLock>(state / "commit.lock");
    } catch (const FileError& e) {
        return cannotGuard(PathText(state / "commit.lock") + ": " + e.what());
    }
    if (intent == Intent::Read) {
        status = installation->RecoverForReading();
        if (!status) return nullptr;
        return installation;
    }
    bool taken = false;
    if (Status locked = installation->TakeWriterLock(taken); !locked) return cannotGuard(locked.Reason());
    if (taken) {
        status = installation->Recover();
        if (!status) return nullptr;
        return installation;
    }
    std::string holder;
    try {
        holder = installation->writerLock_->ReadNote();
    } catch (const FileError&) {
    }
    if (holder.empty()) holder = "another Trackwright program";
    if (holderOut != nullptr) *holderOut = holder;
    status = Status::Failure("The game in " + folderText + " is being changed by " + holder +
                             ". Only one program at a time may change it; try again when it has finished.");
    return nullptr;
}

void Installation::StopWriting() {
    if (writerLock_ && writerLock_->Held()) writerLock_->Unlock();
}

Status Installation::TakeWriterLock(bool& taken) {
    taken = false;
    const fs::path lockFile = stateFolder_ / "writer.lock";
    try {
        if (!writerLock_) writerLock_ = std::make_unique<FileLock>(lockFile);
        if (!writerLock_->TryLock(FileLock::Kind::Exclusive)) return {};
        // Written only when it says something else: the file changes, and waits for the disk,
        // only when another program held the installation last.
        const std::string note = holder_ + " (process " + std::to_string(ProcessNumber()) + ")";
        if (writerLock_->ReadNote() != note) writerLock_->WriteNote(note);
    } catch (const FileError& e) {
        if (writerLock_) writerLock_->Unlock();
        return Status::Failure(PathText(lockFile) + ": " + e.what());
    }
    taken = true;
    return {};
}

bool Installation::JournalLeft() const {
    std::error_code ec;
    return fs::symlink_status(stateFolder_ / "journal", ec).type() != fs::file_type::not_found;
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
    Status recovered = RecoverTransaction(files_, stateFolder_);
    if (recovered) return {};
    writerLock_->Unlock();
    return Status::Failure("A save of the game in \"" + PathText(gameFolder_) +
                           "\" was interrupted and could not be finished or undone: " + recovered.Reason());
}

std::unique_ptr<FileTransaction> Installation::Begin() {
    if (!Writes()) return nullptr;
    return std::make_unique<FileTransaction>(files_, stateFolder_, commitLock_.get());
}

bool Installation::CommitInterrupted() const {
    const fs::path journalPath = stateFolder_ / "journal";
    std::unique_ptr<FileStream> in = FileStream::TryOpen(journalPath, FileMode::ReadShared);
    if (!in) return false;
    try {
        const std::vector<std::uint8_t> bytes = in->ReadAll();
        Journal journal;
        if (!ParseJournal(std::string(bytes.begin(), bytes.end()), journal)) return false;
        return journal.state == Journal::State::Committing;
    } catch (const FileError&) {
        return false;
    }
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

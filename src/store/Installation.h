#pragma once

#include "store/FileTransaction.h"
#include "store/KeptOriginals.h"
#include "util/EnvironmentLookup.h"
#include "util/FileLock.h"
#include "util/FileSystem.h"
#include "util/FolderLock.h"
#include "util/Status.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tw {

// How a program takes an installation of the game.
// The holder the editor gives (InstallationOptions::holder).
inline constexpr std::string_view EditorHolder = "the Trackwright editor";

struct InstallationOptions {
    // The folder that holds every installation's state folder; empty for DefaultStateRoot.
    std::filesystem::path stateRoot;
    // Who takes the installation, as another program that finds it taken is told
    // ("trackwright-cli resave"); the process number is added.
    std::string holder = "Trackwright";
    // What every change goes through; null for the machine's own file system.
    FileSystem* files = nullptr;
    // The folder that holds every installation's kept original files; empty for
    // DefaultOriginalsRoot.
    std::filesystem::path originalsRoot;
};

// One installation of the game as this program holds it. One program at a time changes an
// installation: the writer, which holds the writer lock in the installation's state folder
// (outside the game folder) from the moment it takes the installation until it lets go. Taking
// it finishes or undoes whatever an earlier writer that died in the middle of a save left.
// Others may still read: they change nothing, and they read between two saves, never during one
// (the writer holds the commit lock exclusively while it moves files, readers hold it shared).
class Installation {
public:
    enum class Intent {
        Read,   // only reads: never takes the installation from a writer
        Write,  // must take it
    };

    // Opens the installation in `gameFolder`. With Intent::Write, fails with a reason naming the
    // installation and who holds it when another program does (ErrorKind::Busy, the holder as
    // the error's subject). A reader takes the writer lock only for a moment, to finish or undo a save that
    // a program which died left behind, and only when nobody holds it; a failed recovery fails
    // either way. A folder that does not exist gives an installation that only reads, without
    // locks: there is nothing in it to guard.
    static Expected<std::unique_ptr<Installation>> Open(const std::filesystem::path& gameFolder,
                                                        const InstallationOptions& options, Intent intent);
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    // Whether this program may change the installation.
    bool Writes() const { return writerLock_ != nullptr && writerLock_->Held(); }
    // Lets another program take the installation; from now on this one only reads (and a load
    // takes no file out of the archives).
    void StopWriting();
    FileSystem& Files() const { return files_; }
    const std::filesystem::path& GameFolder() const { return gameFolder_; }
    const std::filesystem::path& StateFolder() const { return stateFolder_; }

    // A transaction over files of this installation; only for a writer. Changes of the game's
    // files go through GameChange, which also keeps their originals.
    std::unique_ptr<FileTransaction> Begin();
    // The folders a transaction of this installation may change: the game folder and the
    // installation's kept originals.
    JournalScope Scope() const;
    // Where this installation's original files are kept (an empty folder path when the
    // environment names no place for them).
    const KeptOriginalsFolder& Originals() const { return originals_; }
    // The first of the kept originals' own folders (the "trackwright" folder of the default
    // place): from there down every folder is the program's own and checked as such.
    const std::filesystem::path& OriginalsBase() const { return originalsBase_; }
    // What the game folder is, whatever path reaches it (FolderIdentity).
    const std::string& Identity() const { return identity_; }

    // A reader's view of one state of the files: waits while a save moves files, then keeps
    // saves from moving any until `hold` is let go. When a writer died in the middle of a save,
    // the reader takes the writer lock for as long as it recovers, if nobody holds it. Nothing
    // for a writer.
    Status HoldForReading(std::unique_ptr<FileLock>& hold);

private:
    Installation(std::filesystem::path gameFolder, std::filesystem::path stateFolder, FileSystem& files);
    Status TakeWriterLock(bool& taken);
    Status Recover();
    // For a reader: finishes or undoes a save left behind, under the writer lock, when nobody
    // holds that lock; lets go of the lock again.
    Status RecoverForReading();
    bool JournalLeft() const;
    bool CommitInterrupted() const;

    std::filesystem::path gameFolder_;
    std::filesystem::path stateFolder_;
    KeptOriginalsFolder originals_{{}};
    std::filesystem::path originalsBase_;
    std::string identity_;
    FileSystem& files_;
    std::string holder_;
    std::unique_ptr<FileLock> writerLock_;
    std::unique_ptr<FolderLock> folderLock_;
    // The folder lock was held by a program that reached the game through another path.
    bool otherPath_ = false;
    std::unique_ptr<FileLock> commitLock_;
};

// The folder of all installations' state: $XDG_STATE_HOME/trackwright (default
// ~/.local/state/trackwright), %LOCALAPPDATA%\Trackwright on Windows. Empty when the
// environment names no such place.
std::filesystem::path DefaultStateRoot(const EnvironmentLookup& environment);

// The folder's one true name: absolute, links resolved, and on Windows the letter case as stored
// (the folder as it is when it does not exist).
std::filesystem::path CanonicalFolder(const std::filesystem::path& folder);

// Of the folders below `root` (named by installation ids), whose records are read through
// `files`: the one for the game folder with path id `id` and identity `identity`. The one named by the path wins when it holds `inUse` (a
// journal, a manifest); else one made earlier for the same folder through another path that
// holds it, as long as that path still reaches the folder; else any such folder; else the one
// named by the path.
std::filesystem::path ChooseOwnFolder(FileSystem& files, const std::filesystem::path& root, const std::string& id,
                                      const std::string& identity, std::string_view inUse);
// Records in one of the program's own folders, through `files`, that it belongs to the game
// folder with `identity`, reached through `gameFolder`, unless that identity is recorded there
// already.
Status RecordIdentity(FileSystem& files, const std::filesystem::path& folder, const std::string& identity,
                      const std::filesystem::path& gameFolder);

// The name of an installation's own folders: the SHA-256 of the game folder's canonical absolute
// path (UTF-8), in hexadecimal. The same installation reached through a link or another
// spelling has the same name.
std::string InstallationId(const std::filesystem::path& gameFolder);

}  // namespace tw

#pragma once

#include "store/FileTransaction.h"
#include "store/KeptOriginals.h"
#include "util/BackgroundSha256.h"
#include "util/Status.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw {

class Installation;

// One change of an installation's game files that keeps the player's originals: the
// transaction of FileTransaction, to which it adds, for every game file it changes for the first
// time, a copy of the file's original bytes in the installation's kept-originals folder (or the
// record that the file did not exist), and the manifest with the digest of every file written.
// The copies and the manifest are committed with the game's files: if they cannot be kept,
// nothing of the game changes.
//
// Use as FileTransaction: plan, Prepare, Write each change, Commit.
class GameChange {
public:
    // `installation` must be its writer.
    explicit GameChange(Installation& installation);
    ~GameChange();
    GameChange(const GameChange&) = delete;
    GameChange& operator=(const GameChange&) = delete;

    std::size_t Replace(const std::filesystem::path& target);
    std::size_t Create(const std::filesystem::path& target);
    std::size_t Remove(const std::filesystem::path& target);

    // Also reads the manifest: a damaged one stops the change (nothing is known about what was
    // kept), with a reason naming it.
    Status Prepare();
    Status Write(std::size_t change, const std::function<Status(Stream&)>& write);
    Status Commit();
    // The game-file change that failed (a kept copy counts as the change of its game file); none
    // for a failure of the journal or of the manifest.
    std::optional<std::size_t> FailedChange() const;

private:
    struct Planned {
        std::filesystem::path target;  // as given (a link stays a link)
        std::string relative;          // '/' between the parts; empty outside the game folder
        bool removes = false;
        std::string written;           // the digest of the new content, once written
        std::unique_ptr<BackgroundSha256> hashing;  // that digest while it is still being taken
    };
    struct Keeping {
        std::size_t game;    // the game change whose original this keeps
        std::size_t change;  // the transaction's change of the kept copy; none for an absent file
        bool absent = false;
    };

    std::size_t Plan(std::size_t change, const std::filesystem::path& target, bool removes);
    Status WriteKeptCopies();

    Installation& installation_;
    KeptOriginalsFolder originals_;
    std::unique_ptr<FileTransaction> transaction_;
    std::vector<Planned> planned_;
    std::vector<Keeping> keeping_;
    KeptOriginalsManifest manifest_;
    std::optional<std::size_t> manifestChange_;
    std::optional<std::size_t> failed_;
};

}  // namespace tw

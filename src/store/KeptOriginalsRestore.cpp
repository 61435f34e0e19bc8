#include "store/KeptOriginalsRestore.h"

#include "store/GameChange.h"
#include "util/FileDigest.h"
#include "util/FileError.h"
#include "util/HashingStream.h"
#include "util/HostPath.h"

#include <system_error>

namespace tw {
namespace {

namespace fs = std::filesystem;

fs::path GamePath(const Installation& installation, const std::string& relative) {
    return InStoredCase(installation.GameFolder(), PathFromSlashed({}, relative));
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

}  // namespace

Status CheckRestore(const Installation& installation, RestoreCheck& check) {
    check = {};
    if (Status read = installation.Originals().Read(check.manifest); !read) return read;
    try {
        for (const KeptOriginal& kept : check.manifest.files) {
            const fs::path game = GamePath(installation, kept.path);
            const bool there = Exists(game);
            if (!kept.absent) {
                const fs::path copy = installation.Originals().KeptCopy(kept.path);
                auto notKept = [&](const std::string& why) {
                    return Status::Failure("the kept original of " + kept.path + " (" + PathText(copy) + ") " + why);
                };
                std::error_code ec;
                const std::uintmax_t size = fs::file_size(copy, ec);
                if (ec || size != kept.size) return notKept("no longer matches its record");
                try {
                    if (Sha256OfFile(copy, FileMode::ReadOwn) != kept.sha256) return notKept("no longer matches its record");
                } catch (const FileError& e) {
                    return notKept("cannot be read: " + std::string(e.what()));
                }
            }
            const std::string now = there ? Sha256OfFile(game) : std::string();
            const std::string original = kept.absent ? std::string() : kept.sha256;
            if (now == original) continue;
            check.differing.push_back(kept.path);
            // A file gone missing loses nothing by coming back; any other change that Trackwright
            // did not make is somebody else's.
            if (there && now != kept.lastWritten) check.changedSince.push_back(kept.path);
        }
    } catch (const FileError& e) {
        return Status::Failure(e.what());
    }
    return {};
}

Status RestoreKeptOriginals(Installation& installation, const RestoreCheck& check) {
    GameChange change(installation);
    struct Put {
        std::size_t change;
        const KeptOriginal* kept;
    };
    std::vector<Put> puts;
    for (const std::string& path : check.differing) {
        const KeptOriginal* kept = check.manifest.Find(path);
        const fs::path game = GamePath(installation, path);
        if (kept->absent) {
            change.Remove(game);
        } else {
            puts.push_back({Exists(game) ? change.Replace(game) : change.Create(game), kept});
        }
    }
    if (Status prepared = change.Prepare(); !prepared) return prepared;
    for (const Put& put : puts) {
        const Status written = change.Write(put.change, [&](Stream& out) {
            HashingStream hashing(out);
            CopyFileInto(installation.Originals().KeptCopy(put.kept->path), hashing, FileMode::ReadOwn);
            if (hashing.Digest() != put.kept->sha256)
                return Status::Failure("the kept original of " + put.kept->path + " changed while it was copied");
            return Status();
        });
        if (!written) return written;
    }
    return change.Commit();
}

}  // namespace tw

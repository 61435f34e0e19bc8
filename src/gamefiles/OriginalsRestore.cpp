#include "gamefiles/OriginalsRestore.h"

#include "gamefiles/GameChange.h"
#include "gamefiles/HeldFiles.h"
#include "gamefiles/HostPath.h"
#include "gamefiles/Installation.h"
#include "util/FileDigest.h"
#include "util/FileError.h"
#include "util/HashingStream.h"

#include <system_error>

namespace tw {
namespace {

namespace fs = std::filesystem;

fs::path GamePath(const Installation& installation, const std::string& relative) {
    fs::path path;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = relative.find('/', start);
        path /= PathFromText(std::string_view(relative).substr(start, end - start));
        if (end == std::string::npos) return InStoredCase(installation.GameFolder(), path);
        start = end + 1;
    }
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

std::string List(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) text += "\n" + path;
    return text;
}

}  // namespace

bool OffersKeptOriginals(const GameContext& context) {
    if (!context.installation || !context.installation->Writes()) return false;
    KeptOriginalsManifest manifest;
    return !context.installation->Originals().Read(manifest) || !manifest.files.empty();
}

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

RestoreOutcome RestoreOriginalFiles(GameContext& context, UserPort& port, RestoreAsking asking, bool force,
                                    const std::function<int()>& reload) {
    auto fail = [&](const std::string& text, const std::string& detail = {}) {
        port.Tell(text, "Error", MessageIcon::Error, detail);
        return RestoreOutcome::Failed;
    };
    if (!context.installation || !context.installation->Writes())
        return fail("The original game files cannot be restored: the game is open for reading only.");
    RestoreCheck check;
    if (Status checked = CheckRestore(*context.installation, check); !checked)
        return fail("The original game files cannot be restored: " + checked.Reason() + ". Nothing was changed.");
    if (check.manifest.files.empty()) {
        port.Tell("No original game files are kept for this game.", "Trackwright 2", MessageIcon::Information);
        return RestoreOutcome::NothingToDo;
    }
    if (check.differing.empty()) {
        port.Tell("The game's files are the original ones already.", "Trackwright 2", MessageIcon::Information);
        return RestoreOutcome::NothingToDo;
    }

    const std::string changedText = "These game files were changed since Trackwright last wrote them, perhaps by an "
                                    "update of the game:\n" + List(check.changedSince);
    if (asking == RestoreAsking::Person) {
        const Answer restore = port.Ask(Message{
            "Do you want to restore the original game files?\n\nThese files will be as they were before Trackwright "
            "first changed them (a file Trackwright took out of an archive is removed again):\n" +
                List(check.differing) + "\n\nEvery change made with Trackwright to these files will be lost.",
            "Question", MessageIcon::Question, MessageButtons::YesNo});
        if (restore != Answer::Yes) return RestoreOutcome::Cancelled;
        if (!check.changedSince.empty()) {
            const Answer older = port.Ask(Message{changedText + "\n\nDo you want to put the older original files back "
                                                                "all the same?",
                                                  "Question", MessageIcon::Question, MessageButtons::YesNo});
            if (older != Answer::Yes) return RestoreOutcome::Cancelled;
        }
    } else if (!check.changedSince.empty() && !force) {
        port.Tell(changedText + "\n\nNothing was restored.", "Error", MessageIcon::Error);
        return RestoreOutcome::Refused;
    }

    HeldFiles held(context);
    held.LetGo();
    const Status restored = RestoreKeptOriginals(*context.installation, check);
    if (!restored) {
        held.TakeBack();
        return fail("Couldn't restore the original game files! There's probably a file I/O error!", restored.Reason());
    }
    if (reload) {
        reload();
    } else {
        held.TakeBack();
    }
    port.Tell("Operation complete!", "Trackwright 2", MessageIcon::Information);
    return RestoreOutcome::Restored;
}

}  // namespace tw

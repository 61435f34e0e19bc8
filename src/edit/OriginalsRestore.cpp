#include "edit/OriginalsRestore.h"

#include "gamefiles/HeldFiles.h"

namespace tw {
namespace {

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

#include "edit/GameSave.h"

#include "gamefiles/HeldFiles.h"
#include "icons/IconStrips.h"
#include "store/GameChange.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/HostPath.h"

#include <exception>
#include <optional>
#include <vector>

namespace tw {
namespace {

constexpr const char* CareersFailed = "Couldn't save the careers! There's probably a file I/O error!";
constexpr const char* CardsFailed = "Couldn't save the chance cards! There's probably a file I/O error!";
constexpr const char* ButtonsFailed = "Couldn't save the Career buttons! There's probably a file I/O error!";
constexpr const char* PopupFailed = "Couldn't save the Career popup! There's probably a file I/O error!";

// One file of the save: what it says when it fails, where it goes, and how it is encoded. The
// encoder fails with its reason, and for content that the file cannot hold it also names that
// in `unstorable` (a message of its own).
struct SaveStep {
    using Encoder = std::function<Status(Stream& out, std::string& unstorable)>;
    const char* failure;
    // Where the file goes; a file that only an archive held is created there.
    GameFileSource target;
    Encoder write;
    std::size_t change = 0;
};

// Stores the model into `container` with `store` and writes the container into `out`, keeping
// the system's reason of a failed write. What the container cannot hold is named in
// `unstorable`, after `what` ("the careers").
using Store = bool (CareerSet::*)(IFFFile&, std::string*);
Status StoreAndWrite(GameContext& context, Store store, IFFFile& container, const char* what, Stream& out,
                     std::string& unstorable) {
    std::string reason;
    if (!(context.careerSet.*store)(container, &reason)) {
        unstorable = std::string("Couldn't save ") + what + ": " + reason + ".";
        return Status::Failure(reason);
    }
    std::string error;
    if (container.SaveIFFFile(&out, &error)) return {};
    return Status::Failure(error.empty() ? "a chunk of the container cannot be read" : error);
}

// A write error of the disk goes on to the transaction with the system's reason.
Status EncodeStrip(Stream& out, const IconStrips& strips, bool (IconStrips::*write)(Stream&) const) {
    if (!(strips.*write)(out)) return Status::Failure("the icon strip cannot be encoded");
    return {};
}

std::vector<SaveStep> PlanSave(GameContext& context) {
    std::vector<SaveStep> steps;
    steps.push_back({CareersFailed, context.careersSource,
                     [&context](Stream& out, std::string& unstorable) {
                         return StoreAndWrite(context, &CareerSet::StoreCareers, context.careersIFF, "the careers",
                                              out, unstorable);
                     }});
    if (context.chanceCardsDisabled == 0) {
        steps.push_back({CardsFailed, context.chanceCardsSource,
                         [&context](Stream& out, std::string& unstorable) {
                             return StoreAndWrite(context, &CareerSet::StoreChanceCards, context.chanceCardsIFF,
                                                  "the chance cards", out, unstorable);
                         }});
    }
    steps.push_back({ButtonsFailed, context.buttonsSource,
                     [&context](Stream& out, std::string&) { return EncodeStrip(out, context.iconStrips, &IconStrips::WriteButtonStrip); }});
    steps.push_back({PopupFailed, context.popupSource,
                     [&context](Stream& out, std::string&) { return EncodeStrip(out, context.iconStrips, &IconStrips::WritePopupStrip); }});
    return steps;
}

// Content that the file cannot hold is named as such; a failure of the disk keeps the save's own
// words, with the system's reason as the details.
bool Report(UserPort& port, const SaveStep& step, const Status& status, const std::string& unstorable = {}) {
    if (!unstorable.empty())
        port.Tell(unstorable, "Error", MessageIcon::Error);
    else
        port.Tell(step.failure, "Error", MessageIcon::Error, status.Reason());
    return false;
}

}  // namespace

bool SaveGameFiles(GameContext& context, UserPort& port) {
    std::vector<SaveStep> steps = PlanSave(context);
    for (const SaveStep& step : steps)
        if (step.target.path.empty()) return Report(port, step, Status::Failure("the file was not loaded"));
    // What cannot be read of the careers file would be lost: nothing is written.
    if (!context.CareersKeptWholeBySave()) {
        port.Tell("The careers cannot be saved: parts of " + context.careersFile +
                      " cannot be read, and a save would lose them. Nothing was written.",
                  "Error", MessageIcon::Error, ListProblems(context.Problems()));
        return false;
    }

    if (!context.installation || !context.installation->Writes())
        return Report(port, steps.front(), Status::Failure("the game is open for reading only"));
    // The player's originals of these files are kept in the same transaction, the first time.
    // A file that only an archive held is written loose where the game looks for it.
    auto transaction = std::make_unique<GameChange>(*context.installation);
    for (SaveStep& step : steps)
        step.change = step.target.loose ? transaction->Replace(step.target.path) : transaction->Create(step.target.path);
    if (Status prepared = transaction->Prepare(); !prepared) return Report(port, steps.front(), prepared);

    // One file at a time, so that no more than one file's bytes are in memory at once.
    for (const SaveStep& step : steps) {
        std::string unstorable;
        Status written;
        try {
            written = transaction->Write(step.change, [&](Stream& out) { return step.write(out, unstorable); });
        } catch (const std::exception& e) {
            // A model that throws (memory running out, say) fails its step like any other cause.
            written = Status::Failure(e.what());
        }
        if (!written) return Report(port, step, written, unstorable);
    }

    HeldFiles held(context);
    held.LetGo();
    const Status committed = transaction->Commit();
    if (committed)
        held.TakeBackSaved();
    else
        held.TakeBack();
    if (!committed) {
        const std::optional<std::size_t> failed = transaction->FailedChange();
        return Report(port, steps.at(failed.value_or(0)), committed);
    }
    return true;
}

int ReloadGameFiles(GameContext& context, const LoadRunner& runLoad) {
    context.careersIFF.Clear();
    context.careersIFF.CloseFile();
    if (context.chanceCardsDisabled == 0) {
        context.chanceCardsIFF.Clear();
        context.chanceCardsIFF.CloseFile();
    } else {
        // The container is left for the load to empty; the cards it once gave are dropped.
        context.careerSet.ClearCards();
    }
    context.CloseBitmapFiles();
    // The strips are read anew; the old ones go first rather than beside the new ones.
    context.iconStrips = IconStrips();
    return runLoad(context);
}

SaveOutcome SaveAndReload(GameContext& context, UserPort& port, const std::function<int()>& reload) {
    SaveOutcome outcome;
    if (!SaveGameFiles(context, port)) return outcome;
    outcome.saved = true;
    outcome.reloadResult = reload();
    // Shown whatever the reload gave: a failed reload has shown its own message already.
    port.Tell("Operation complete!", "Trackwright 2", MessageIcon::Information);
    return outcome;
}

ExitDecision DecideExit(GameContext& context, UserPort& port, bool careersUnchanged) {
    if (careersUnchanged) return ExitDecision::Close;
    const Answer answer =
        port.Ask(Message{"Do you want to save the careers?", "Exit", MessageIcon::Question, MessageButtons::YesNoCancel});
    switch (answer) {
        case Answer::No:
            return ExitDecision::Close;
        case Answer::Yes:
            if (!SaveGameFiles(context, port)) return ExitDecision::Stay;
            context.CloseBitmapFiles();
            return ExitDecision::Close;
        default:
            return ExitDecision::Stay;
    }
}

}  // namespace tw

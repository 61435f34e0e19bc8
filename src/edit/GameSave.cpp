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
    const char* failure;
    // Where the file goes; a file that only an archive held is created there.
    GameFileSource target;
    // Puts the model into the file's container, in memory; none for a file written straight
    // from the model. Fails with what the container cannot hold.
    std::function<Status()> store;
    const char* what = nullptr;  // what `store` stores, for its message: "the careers"
    // Writes the file's bytes, failing with the system's reason.
    std::function<Status(Stream& out)> write;
    std::size_t change = 0;
};

// Writes a container whose model was stored into it.
Status WriteContainer(IFFFile& container, Stream& out) {
    return container.SaveIFFFile(&out);
}

// A write error of the disk goes on to the transaction with the system's reason.
Status EncodeStrip(Stream& out, const IconStrips& strips, bool (IconStrips::*write)(Stream&) const) {
    if (!(strips.*write)(out)) return Status::Failure("the icon strip cannot be encoded");
    return {};
}

std::vector<SaveStep> PlanSave(GameContext& context) {
    std::vector<SaveStep> steps;
    steps.push_back({CareersFailed, context.careersSource,
                     [&context] { return context.careerSet.StoreCareers(context.careersIFF); }, "the careers",
                     [&context](Stream& out) { return WriteContainer(context.careersIFF, out); }});
    if (context.chanceCardsDisabled == 0) {
        steps.push_back({CardsFailed, context.chanceCardsSource,
                         [&context] { return context.careerSet.StoreChanceCards(context.chanceCardsIFF); },
                         "the chance cards",
                         [&context](Stream& out) { return WriteContainer(context.chanceCardsIFF, out); }});
    }
    steps.push_back({ButtonsFailed, context.buttonsSource, nullptr, nullptr,
                     [&context](Stream& out) { return EncodeStrip(out, context.iconStrips, &IconStrips::WriteButtonStrip); }});
    steps.push_back({PopupFailed, context.popupSource, nullptr, nullptr,
                     [&context](Stream& out) { return EncodeStrip(out, context.iconStrips, &IconStrips::WritePopupStrip); }});
    return steps;
}

// A failure of the disk keeps the save's own words, with the system's reason as the details.
bool Report(UserPort& port, const SaveStep& step, const Status& status) {
    port.Tell(step.failure, "Error", MessageIcon::Error, status.Reason());
    return false;
}

// Content that the file cannot hold is named as such.
bool ReportUnstorable(UserPort& port, const SaveStep& step, const Status& status) {
    port.Tell(std::string("Couldn't save ") + step.what + ": " + status.Reason() + ".", "Error", MessageIcon::Error);
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
    // The model goes into its containers first, in memory: what they cannot hold stops the save
    // before anything is written.
    for (const SaveStep& step : steps) {
        if (!step.store) continue;
        Status stored;
        try {
            stored = step.store();
        } catch (const std::exception& e) {
            stored = Status::Failure(e.what(), ErrorKind::System);
        }
        if (!stored) return ReportUnstorable(port, step, stored);
    }
    // The player's originals of these files are kept in the same transaction, the first time.
    // A file that only an archive held is written loose where the game looks for it.
    auto transaction = std::make_unique<GameChange>(*context.installation);
    for (SaveStep& step : steps)
        step.change = step.target.loose ? transaction->Replace(step.target.path) : transaction->Create(step.target.path);
    if (Status prepared = transaction->Prepare(); !prepared) return Report(port, steps.front(), prepared);

    // One file at a time, so that no more than one file's bytes are in memory at once.
    for (const SaveStep& step : steps) {
        Status written;
        try {
            written = transaction->Write(step.change, step.write);
        } catch (const std::exception& e) {
            // A model that throws (memory running out, say) fails its step like any other cause.
            written = Status::Failure(e.what(), ErrorKind::System);
        }
        if (!written) return Report(port, step, written);
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

Answer AskToSaveCareers(UserPort& port) {
    return port.Ask(Message{"Do you want to save the careers?", "Exit", MessageIcon::Question, MessageButtons::YesNoCancel});
}

ExitDecision DecideExit(GameContext& context, UserPort& port, bool careersUnchanged) {
    if (careersUnchanged) return ExitDecision::Close;
    const Answer answer = AskToSaveCareers(port);
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

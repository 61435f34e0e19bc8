#include "gamefiles/GameSave.h"

#include "icons/BitmapFile.h"
#include "util/MemoryStream.h"
#include "util/ReplaceFileWhole.h"

#include <exception>
#include <span>

namespace tw {
namespace {

// A model or container operation that throws counts as a failed step, like a false result.
template <typename Step>
bool Attempt(Step step) {
    try {
        return step();
    } catch (const std::exception&) {
        return false;
    }
}

// The strip is encoded in memory first and then replaces the file whole, so a failure at any
// point leaves the player's bitmap as it was. The held stream is reopened on the new file.
bool SaveStrip(const Bitmap& strip, FileStream* file) {
    if (file == nullptr || !file->IsOpen()) return false;
    MemoryStream encoded;
    if (!SaveBitmapFile(encoded, strip)) return false;
    const std::span<const std::uint8_t> bytes = encoded.Bytes();
    return ReplaceFileWhole(
        file->Path(),
        [bytes](Stream& target) {
            target.Write(bytes);
            return true;
        },
        nullptr, file);
}

}  // namespace

bool SaveGameFiles(GameContext& context, UserPort& port) {
    auto fail = [&port](const char* text) {
        port.Tell(text, "Error", MessageIcon::Error);
        return false;
    };
    if (!Attempt([&] { return context.careerSet.SaveCareers(context.careersIFF); }))
        return fail("Couldn't save the careers! There's probably a file I/O error!");
    if (context.chanceCardsDisabled == 0 &&
        !Attempt([&] { return context.careerSet.SaveChanceCards(context.chanceCardsIFF); }))
        return fail("Couldn't save the chance cards! There's probably a file I/O error!");
    if (!Attempt([&] { return SaveStrip(context.iconStrips.ButtonStrip(), context.buttonsBitmapFile.get()); }))
        return fail("Couldn't save the Career buttons! There's probably a file I/O error!");
    if (!Attempt([&] { return SaveStrip(context.iconStrips.PopupStrip(), context.popupBitmapFile.get()); }))
        return fail("Couldn't save the Career popup! There's probably a file I/O error!");
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
        context.careerSet.cards.clear();
    }
    context.CloseBitmapFiles();
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

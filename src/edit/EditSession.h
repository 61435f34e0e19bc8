#pragma once

#include "check/Finding.h"
#include "edit/ApplyDocument.h"
#include "edit/EditHistory.h"
#include "edit/GameSave.h"
#include "edit/ModelChange.h"
#include "edit/ModelSnapshot.h"
#include "edit/OriginalsRestore.h"
#include "edit/TranslatableTexts.h"
#include "edit/TranslationCatalog.h"
#include "exchange/CareerImport.h"
#include "gamefiles/GameContext.h"
#include "gamefiles/GameLoad.h"
#include "locate/GameLocation.h"
#include "model/CardTexts.h"
#include "model/CareerTexts.h"
#include "model/JobLevelRules.h"
#include "util/UserPort.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// One person's editing of one loaded game: the game (its files, careers and icons), every edit
// made to it as a step that can be undone and redone, whether the model differs from the files,
// and the commands that move data between them (load, save, reload, exit, the career exchange
// files, the original files). The editor's window and the command-line tool read it and call it;
// it decides, and talks to the person only through the port it is given.
//
// Careers are addressed by their index in the career set, job levels by their index in the
// career's track, languages by their slot (0 to 14 in the Language menu).
class EditSession {
public:
    EditSession() = default;
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    GameContext& Context() { return *context_; }
    const GameContext& Context() const { return *context_; }
    const CareerSet& Careers() const { return context_->careerSet; }
    const Career* CareerAt(std::uint32_t career) const;

    // --- Who may change the game --------------------------------------------------------

    // Takes the game in the context's folder before its first load: as the one program that
    // changes it, or only to view it when `viewOnly` or when another Trackwright program changes
    // it (then says so, naming that program). False, after its message, when the game cannot be
    // opened at all (a save that a program left unfinished cannot be finished or undone).
    bool TakeGame(UserPort& port, bool viewOnly);
    // The game a start-up found, before TakeGame: its folder and what the launcher said of the
    // expansions. The editor and the command line start alike.
    void UseLocation(const GameLocation& location);
    // After a load: a game whose files this program cannot write is only viewed; says so once,
    // naming the file or folder and the system's reason.
    void SettleWriteAccess(UserPort& port);
    // Whether the game is open only to be viewed: nothing can be saved, imported or restored.
    bool ReadOnly() const { return !context_->installation || !context_->installation->Writes(); }
    // Why, in words ("it is being changed by ..."); empty when it may be changed or was opened
    // only to be viewed.
    const std::string& ReadOnlyReason() const { return readOnlyReason_; }

    // --- The game's files ---------------------------------------------------------------

    // Loads the game with `runLoad` (1 loaded); the history starts anew.
    int Load(const LoadRunner& runLoad);
    // File > Reload: the edits are dropped and the files loaded again. The command asks first
    // (ConfirmReload); the save and the restore of originals reload without asking.
    int Reload(const LoadRunner& runLoad);
    // Whether File > Reload may go on: asks first when there are unsaved changes (No is the
    // default).
    bool ConfirmReload(UserPort& port) const;
    // File > Save: every file written as one, `reload` run (the whole Reload as the caller runs
    // it), then "Operation complete!". The saved state becomes the history's clean point.
    SaveOutcome Save(UserPort& port, const std::function<int()>& reload);
    // File > Check Game...: what a save would lose or write another way of the files as last
    // loaded or saved, the parts the load could not read, and the careers, with the unsaved
    // edits, that the game would show wrongly. Writes nothing.
    std::vector<Finding> Check();
    // Before the editor's File > Save: when a save would lose something (see Check), asks
    // whether to save all the same, naming it; true to go on. (The command line refuses such a
    // save before any edit instead, unless told to accept it.)
    bool ConfirmLosses(UserPort& port);
    // File > Exit and the close box: asks to save when there are unsaved changes.
    ExitDecision DecideExit(UserPort& port);
    // Before another game is opened: with unsaved changes, the exit question. Yes saves (and
    // reloads with `reload`), No lets the changes go; false to stay (Cancel, or a failed save).
    bool ConfirmLeave(UserPort& port, const std::function<int()>& reload);
    // File > Open Game Folder... and Recent Games: the game in `location` taken and loaded with
    // `runLoad` beside the open one, which it replaces only once it has loaded (its hold let go
    // then); the history starts anew. False, with the open game as it was, when the new one
    // cannot be taken or loaded (after their messages). The open game's own folder is reloaded.
    bool OpenGame(UserPort& port, const GameLocation& location, const LoadRunner& runLoad);
    // Whether the game in `folder` (by any path to it) is the one open.
    bool IsOpen(const std::string& folder) const;
    // File > Restore Original Files...: asks, restores, reloads with `reload`; the history
    // starts anew when the files came back.
    RestoreOutcome RestoreOriginals(UserPort& port, const std::function<int()>& reload);
    // Whether the model differs from the files as last loaded or saved. An undo back to that
    // state makes it false again.
    bool HasUnsavedChanges() const { return !history_.AtCleanPoint(); }
    bool ChanceCardsDisabled() const { return context_->chanceCardsDisabled != 0; }
    // Whether the chance card of a level may be edited: chance-card editing is on and the level
    // has a card.
    bool ChanceCardEditable(std::uint32_t career, std::uint32_t level) const;

    // --- Edits ----------------------------------------------------------------------------
    // Each returns whether it changed the model. An edit of a career, level or text that does
    // not exist changes nothing.

    bool SetInternalName(std::uint32_t career, const std::string& bytes);
    // A text of the career (a job text of level `level`) in language `slot`. Typing in one text
    // is one step until EndTyping or an edit of something else.
    bool SetText(std::uint32_t career, CareerTexts::Text text, std::uint32_t level, std::uint16_t slot,
                 const std::string& bytes);
    // The next text edit starts a step of its own (the field lost the focus).
    void EndTyping() { history_.CloseMerging(); }
    // Job details: the level's values and internal texts.
    bool SetJobLevel(std::uint32_t career, std::uint32_t level, const JobLevel& job);
    // Career > Level Table's paste: the levels from `firstLevel` on replaced by `levels`, as one
    // step "Paste Levels". Nothing changes when a level would lie past the career's last.
    bool SetJobLevels(std::uint32_t career, std::uint32_t firstLevel, const std::vector<JobLevel>& levels);
    // The requirements of the level below, which bound the level's own (all 0 for level 0).
    Requirements RequirementsBelowLevel(std::uint32_t career, std::uint32_t level) const;
    // The chance card of a level: its items, and its text in `slot`, which settles the card's
    // text row (see PlaceCardText). None when the card cannot be edited (chance-card editing is
    // off, or the level has no card). A card confirmed as the dialog showed it changes nothing.
    std::optional<CardTextResult> SetChanceCard(std::uint32_t career, std::uint32_t level,
                                                const std::vector<CardItem>& items, const std::string& text,
                                                std::uint16_t slot);
    // "Set All": asks whether to copy the career's texts of language `slot` to the other
    // languages, and then whether its chance-card texts too. Each text is converted into each
    // language's code page; when characters had to become "?", says once in which languages.
    bool SetAllLanguages(UserPort& port, std::uint32_t career, std::uint16_t slot);
    // Career > Translations: one text's value in language `slot` (0 to 15). A chance card's text
    // only while its card may be edited.
    bool SetTranslation(const TranslatableText& text, std::uint16_t slot, const std::string& bytes);
    // Career > Translations: one text of `slot` copied to every other language of the menu,
    // converted as Set All converts, with its warning; no question first, since it is one step
    // that an undo takes back.
    bool CopyToAllLanguages(UserPort& port, const TranslatableText& text, std::uint16_t slot);
    // The career's popup and button icons, put back into the strips; those that the strips
    // already hold stay untouched, so that OK without a change is no edit.
    bool SetIcons(std::uint32_t career, const Bitmap& popup, const Bitmap& button);
    // Career > Import of a track or a backup, with its questions and messages. A track offers
    // the `selected` career first as the one it replaces.
    ImportResult Import(UserPort& port, std::optional<std::uint32_t> selected = std::nullopt);
    // Makes the careers and chance cards what a document of the command-line tool's `dump` shape
    // says (see ReadDocument), as one step "Apply". Returns every problem found; with any, nothing
    // is changed.
    std::vector<JsonProblem> ApplyDocument(const JsonValue& document, DocumentTexts texts);
    // The translations of a PO file (see PlanTranslationImport) into language `slot`, or the one
    // the file names, as one step "Import Translations". With any refusal nothing is changed.
    TranslationImportResult ImportTranslations(const PoCatalog& catalog,
                                               std::optional<std::uint16_t> slot = std::nullopt);
    // Career > Export and Backup change nothing.
    bool Export(UserPort& port, std::optional<std::uint32_t> career) const;
    bool Backup(UserPort& port) const;

    // --- The history ----------------------------------------------------------------------

    bool CanUndo() const { return history_.CanUndo(); }
    std::size_t StepsDone() const { return history_.DoneCount(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // The name of what an undo or redo would do ("Career Name"); empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    // Takes back the last step (or does again the last undone one) and returns where it was.
    std::optional<EditPlace> Undo();
    std::optional<EditPlace> Redo();

    // --- The review -----------------------------------------------------------------------

    // What a save would write: the imports and restores done since the files were last loaded
    // or saved, then every difference between the model and those files (see ListChanges).
    std::vector<ModelChange> ReviewChanges() const;

private:
    // Runs `change` on the model and records it as one step, when it reports a change.
    // `change` may tell where it happened, when only it knows.
    bool Record(std::string name, EditPlace place, const EditScope& scope,
                const std::function<bool(EditPlace&)>& change, std::string mergeKey = {});

    // The model as the files hold it, taken just before the first change after a load or save
    // (until then the model itself is that state).
    void KeepBaseline();
    // The files and the model are one again.
    void ForgetBaseline() { baseline_.reset(); }

    void BecomeReadOnly(UserPort& port, std::string reason);
    // After a copy into other languages: names the languages in which characters became "?".
    static void WarnLostCharacters(UserPort& port, const LanguageSet& lost);
    // Takes the game of `context`, as TakeGame does; false after its message. `readOnlyReason`
    // is set when another program changes it.
    static bool Take(GameContext& context, UserPort& port, bool viewOnly, std::string& holder);

    // Replaced whole when another game is opened; nothing keeps a reference to it across that.
    std::unique_ptr<GameContext> context_ = std::make_unique<GameContext>();
    EditHistory history_;
    std::optional<ModelSnapshot> baseline_;
    std::string readOnlyReason_;
};

// The name of a career or job text, as the editor's fields and its Edit menu call it.
const char* TextName(CareerTexts::Text text);

}  // namespace tw

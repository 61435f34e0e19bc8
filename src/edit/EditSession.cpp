#include "edit/EditSession.h"

#include "check/CareerRules.h"
#include "check/GameCheck.h"
#include "check/SaveDifferences.h"

#include "edit/ModelChanges.h"
#include "exchange/CareerExport.h"
#include "text/TextCodec.h"
#include "util/HostPath.h"

#include <iterator>

namespace tw {
namespace {

constexpr std::uint16_t LanguageSlots = CareerTexts::MenuSlotCount;
constexpr const char* ImportStepName = "Import";

}  // namespace

const char* TextName(CareerTexts::Text text) {
    switch (text) {
        case CareerTexts::Text::CareerName: return "Career Name";
        case CareerTexts::Text::MaleOffer: return "Male Offer Text";
        case CareerTexts::Text::FemaleOffer: return "Female Offer Text";
        case CareerTexts::Text::MaleJobName: return "Male Job Name";
        case CareerTexts::Text::FemaleJobName: return "Female Job Name";
        case CareerTexts::Text::JobDescription: return "Job Description";
    }
    return "Text";
}

const Career* EditSession::CareerAt(std::uint32_t career) const {
    return career < Careers().Count() ? &Careers().careers[career] : nullptr;
}

void EditSession::UseLocation(const GameLocation& location) {
    context_->gameFolder = location.gameFolder;
    context_->expansion3Flag = location.expansion3Flag;
    context_->expansion4Flag = location.expansion4Flag;
}

bool EditSession::Take(GameContext& context, UserPort& port, bool viewOnly, std::string& holder) {
    holder.clear();
    if (!viewOnly) {
        const Status taken = context.TakeInstallation(Installation::Intent::Write);
        if (taken) return true;
        if (taken.Err().Kind() != ErrorKind::Busy) {
            port.Tell(taken.Reason(), "Error", MessageIcon::Error);
            return false;
        }
        holder = taken.Err().Subject();
    }
    // Viewing takes nothing from anybody; it only finishes a save that a program left behind.
    if (const Status taken = context.TakeInstallation(Installation::Intent::Read); !taken) {
        port.Tell(taken.Reason(), "Error", MessageIcon::Error);
        return false;
    }
    return true;
}

bool EditSession::TakeGame(UserPort& port, bool viewOnly) {
    readOnlyReason_.clear();
    std::string holder;
    if (!Take(*context_, port, viewOnly, holder)) return false;
    if (!holder.empty()) BecomeReadOnly(port, "it is being changed by " + holder);
    return true;
}

bool EditSession::ConfirmLeave(UserPort& port, const std::function<int()>& reload) {
    if (!HasUnsavedChanges()) return true;
    if (ReadOnly()) return DecideExit(port) == ExitDecision::Close;
    switch (AskToSaveCareers(port)) {
        case Answer::Yes:
            return Save(port, reload).saved;
        case Answer::No:
            return true;
        default:
            return false;
    }
}

bool EditSession::IsOpen(const std::string& folder) const {
    return context_->installation && context_->installation->GameFolder() == CanonicalFolder(PathFromBytes(folder));
}

bool EditSession::OpenGame(UserPort& port, const GameLocation& location, const LoadRunner& runLoad) {
    // The same game again: its own hold stands, so it is simply loaded afresh.
    if (IsOpen(location.gameFolder)) return Reload(runLoad) == LoadRequest::Loaded;

    auto opened = std::make_unique<GameContext>();
    opened->installationOptions = context_->installationOptions;
    opened->gameFolder = location.gameFolder;
    opened->expansion3Flag = location.expansion3Flag;
    opened->expansion4Flag = location.expansion4Flag;
    opened->chanceCardsDisabled = 0;
    std::string holder;
    if (!Take(*opened, port, false, holder)) return false;
    if (!runLoad || runLoad(*opened) != LoadRequest::Loaded) {
        opened->EmptyContainers();
        return false;
    }
    // Only now does the open game go, and with it its hold.
    context_->EmptyContainers();
    context_ = std::move(opened);
    history_.Clear();
    ForgetBaseline();
    readOnlyReason_.clear();
    if (!holder.empty()) BecomeReadOnly(port, "it is being changed by " + holder);
    return true;
}

void EditSession::SettleWriteAccess(UserPort& port) {
    if (ReadOnly()) return;
    if (const Status writable = context_->CheckWritable(); !writable) {
        context_->installation->StopWriting();
        BecomeReadOnly(port, writable.Reason());
    }
}

void EditSession::BecomeReadOnly(UserPort& port, std::string reason) {
    readOnlyReason_ = std::move(reason);
    port.Tell("The game in \"" + PathText(PathFromBytes(context_->gameFolder)) + "\" is open read-only: " +
                  readOnlyReason_ + ".\n\nIts careers can be viewed, exported and backed up, but not saved.",
              "Warning", MessageIcon::Information);
}

bool EditSession::ConfirmReload(UserPort& port) const {
    if (!HasUnsavedChanges()) return true;
    Message question{"Discard your unsaved changes and load the game's files again?", "Question",
                     MessageIcon::Question, MessageButtons::YesNo};
    question.defaultAnswer = Answer::No;
    return port.Ask(question) == Answer::Yes;
}

int EditSession::Load(const LoadRunner& runLoad) {
    const int result = runLoad ? runLoad(*context_) : LoadRequest::Failed;
    history_.Clear();
    ForgetBaseline();
    return result;
}

int EditSession::Reload(const LoadRunner& runLoad) {
    const int result = ReloadGameFiles(*context_, runLoad);
    history_.Clear();
    ForgetBaseline();
    return result;
}

std::vector<Finding> EditSession::Check() {
    if (!HasUnsavedChanges()) return CheckGame(*context_);
    // The files' own findings come from the model as the files hold it, put back for the
    // moment (without it, only the load's damage is known); the rules look at the model with
    // its edits.
    std::vector<Finding> found;
    if (baseline_) {
        // The edits come back whatever the check does, memory running out included.
        struct EditsBack {
            GameContext& context;
            ModelSnapshot edited;
            ~EditsBack() {
                context.careerSet.careers = std::move(edited.careers);
                context.careerSet.cardTexts = std::move(edited.cardTexts);
                context.iconStrips = std::move(edited.icons);
            }
        };
        {
            EditsBack back{*context_, ModelSnapshot::Of(*context_)};
            context_->careerSet.careers = baseline_->careers;
            context_->careerSet.cardTexts = baseline_->cardTexts;
            context_->iconStrips = baseline_->icons;
            found = CheckGame(*context_);
        }
        std::erase_if(found, [](const Finding& f) { return f.kind == Finding::Kind::Rule; });
    } else {
        found = DamagedFindings(context_->Problems());
    }
    // An edit changes texts and tables on purpose; what it makes a save lose is what does not
    // come back from the written files at all (a card's text without effects), named per file.
    for (Finding& loss : SaveDifferences(*context_))
        if (loss.kind == Finding::Kind::Loss && loss.type.empty() &&
            std::find(found.begin(), found.end(), loss) == found.end())
            found.push_back(std::move(loss));
    std::vector<Finding> rules = CheckCareerRules(context_->careerSet, context_->iconStrips, !ChanceCardsDisabled());
    found.insert(found.end(), rules.begin(), rules.end());
    return found;
}

bool EditSession::ConfirmLosses(UserPort& port) {
    std::string losses;
    for (const Finding& finding : Check())
        if (finding.kind == Finding::Kind::Loss)
            losses += "- " + finding.file + (finding.type.empty() ? "" : " " + finding.type) +
                      (finding.id ? " " + std::to_string(*finding.id) : "") + ": " + finding.message + "\n";
    if (losses.empty()) return true;
    Message question{"A save would lose something of the game's files that Trackwright cannot keep. Save all the "
                     "same?",
                     "Save", MessageIcon::Warning, MessageButtons::YesNo};
    question.detail = losses;
    question.defaultAnswer = Answer::No;
    return port.Ask(question) == Answer::Yes;
}

SaveOutcome EditSession::Save(UserPort& port, const std::function<int()>& reload) {
    // The reload after the save loads what the model held; the steps before it stay, to be
    // undone past the save, though the caller's reload starts a history of its own.
    EditHistory kept = std::move(history_);
    const SaveOutcome outcome = SaveAndReload(*context_, port, reload);
    history_ = std::move(kept);
    if (outcome.saved) {
        history_.MarkClean();
        ForgetBaseline();
    }
    return outcome;
}

ExitDecision EditSession::DecideExit(UserPort& port) {
    if (ReadOnly() && HasUnsavedChanges()) {
        // Nothing can be saved: the only question is whether the changes may go.
        Message question{"The game is open read-only, so your changes cannot be saved. Do you want to close it all "
                         "the same?",
                         "Exit", MessageIcon::Question, MessageButtons::YesNo};
        question.defaultAnswer = Answer::No;
        return port.Ask(question) == Answer::Yes ? ExitDecision::Close : ExitDecision::Stay;
    }
    return tw::DecideExit(*context_, port, !HasUnsavedChanges());
}

RestoreOutcome EditSession::RestoreOriginals(UserPort& port, const std::function<int()>& reload) {
    const RestoreOutcome outcome = RestoreOriginalFiles(*context_, port, RestoreAsking::Person, false, reload);
    if (outcome == RestoreOutcome::Restored) {
        history_.Clear();
        ForgetBaseline();
    }
    return outcome;
}

bool EditSession::Record(std::string name, EditPlace place, const EditScope& scope,
                         const std::function<bool(EditPlace&)>& change, std::string mergeKey) {
    KeepBaseline();
    ModelPart before = ModelPart::Take(*context_, scope);
    if (!change(place)) return false;
    history_.Add(EditStep{std::move(name), place, std::move(before), ModelPart::Take(*context_, scope),
                          std::move(mergeKey)});
    return true;
}

bool EditSession::SetInternalName(std::uint32_t career, const std::string& bytes) {
    if (career >= Careers().Count()) return false;
    std::string& name = context_->careerSet.careers[career].track.name;
    if (name == bytes) return false;
    return Record("Internal Career Name", {career, std::nullopt, std::nullopt}, {{career}}, [&](EditPlace&) {
        name = bytes;
        return true;
    }, "name " + std::to_string(career));
}

bool EditSession::SetText(std::uint32_t career, CareerTexts::Text text, std::uint32_t level, std::uint16_t slot,
                          const std::string& bytes) {
    if (career >= Careers().Count() || slot >= LanguageSlots || !CareerTexts::Row(text, level)) return false;
    CareerTexts& texts = context_->careerSet.careers[career].texts;
    const std::optional<std::uint16_t> row = CareerTexts::Row(text, level);
    std::string current;
    if (texts.table.GetText(*row, slot, StringTable::Value, current) && current == bytes) return false;
    EditPlace place{career, std::nullopt, slot};
    if (CareerTexts::IsJobText(text)) place.level = level;
    const std::string key = "text " + std::to_string(career) + " " + std::to_string(*row) + " " + std::to_string(slot);
    return Record(TextName(text), place, {{career}}, [&](EditPlace&) { return texts.Set(text, level, slot, bytes); }, key);
}

bool EditSession::SetJobLevel(std::uint32_t career, std::uint32_t level, const JobLevel& job) {
    if (career >= Careers().Count() || level >= Careers().careers[career].LevelCount()) return false;
    JobLevel& current = context_->careerSet.careers[career].track.levels[level];
    if (current == job) return false;
    return Record("Job Details", {career, level, std::nullopt}, {{career}}, [&](EditPlace&) {
        current = job;
        return true;
    });
}

bool EditSession::ChanceCardEditable(std::uint32_t career, std::uint32_t level) const {
    const Career* found = CareerAt(career);
    return !ChanceCardsDisabled() && found != nullptr && found->Card(level) != nullptr;
}

Requirements EditSession::RequirementsBelowLevel(std::uint32_t career, std::uint32_t level) const {
    const Career* found = CareerAt(career);
    return found != nullptr ? RequirementsBelow(found->track, level) : Requirements{};
}

std::optional<CardTextResult> EditSession::SetChanceCard(std::uint32_t career, std::uint32_t level,
                                                         const std::vector<CardItem>& items, const std::string& text,
                                                         std::uint16_t slot) {
    if (!ChanceCardEditable(career, level)) return std::nullopt;
    ChanceCard* card = context_->careerSet.careers[career].Card(level);
    // OK on the card as the dialog showed it: no step, and no row taken or let go again.
    if (ConfirmKeepsCard(Careers().cardTexts, *card, items, slot, text))
        return card->textRow != 0 ? CardTextResult::Stored : CardTextResult::NoText;
    CardTextResult result = CardTextResult::NoText;
    EditScope scope{{career}};
    scope.cardTexts = true;
    Record("Chance Card", {career, level, slot}, scope, [&](EditPlace&) {
        result = ConfirmCard(context_->careerSet.cardTexts, *card, items, slot, text).result;
        return true;
    });
    return result;
}

bool EditSession::SetAllLanguages(UserPort& port, std::uint32_t career, std::uint16_t slot) {
    if (career >= Careers().Count()) return false;
    const Answer first =
        port.Ask(Message{"Do you really want to set the texts of all other languages to the current language?",
                         "Warning", MessageIcon::Question, MessageButtons::YesNo});
    if (first != Answer::Yes) return false;
    EditScope scope{{career}};
    scope.cardTexts = true;
    LanguageSet lost;
    const bool changed = Record("Set All", {career, std::nullopt, slot}, scope, [&](EditPlace&) {
        lost = context_->careerSet.careers[career].texts.CopyToAllLanguages(slot);
        const Answer cards = port.Ask(Message{"Do you want to set the texts of the Chance Cards as well?",
                                              port.ApplicationName(), MessageIcon::Question, MessageButtons::YesNo});
        if (cards == Answer::Yes) lost |= context_->careerSet.CopyCardTextsToAllLanguages(career, slot);
        return true;
    });
    WarnLostCharacters(port, lost);
    return changed;
}

bool EditSession::SetIcons(std::uint32_t career, const Bitmap& popup, const Bitmap& button) {
    if (career >= Careers().Count()) return false;
    const std::uint16_t number = Careers().careers[career].id;
    // An icon that comes back as the strip holds it is no change: its strip is left alone.
    Bitmap held;
    const bool newPopup = !Context().iconStrips.GetPopupIcon(number, held) || !held.SamePixels(popup);
    const bool newButton = !Context().iconStrips.GetButtonIcon(number, held) || !held.SamePixels(button);
    if (!newPopup && !newButton) return false;
    EditScope scope;
    scope.iconsOf = {career};
    return Record("Icons", {career, std::nullopt, std::nullopt}, scope, [&](EditPlace&) {
        // The dialog's icons have the strips' own sizes, so each goes back whole.
        const bool putButton = newButton && Context().iconStrips.PutButtonIcon(number, button);
        const bool putPopup = newPopup && Context().iconStrips.PutPopupIcon(number, popup);
        return putButton || putPopup;
    });
}

ImportResult EditSession::Import(UserPort& port, std::optional<std::uint32_t> selected) {
    ImportResult result;
    EditScope scope;
    scope.allCareers = true;
    scope.allIcons = true;
    Record(ImportStepName, {}, scope, [&](EditPlace& place) {
        result = CareerImportCommand(Context().careerSet, Context().iconStrips, port, selected);
        // An import over one career shows that career when it is undone.
        if (result.outcome == ImportResult::Outcome::CareerReplaced) place.career = result.careerIndex;
        return result.Changed();
    });
    return result;
}

std::vector<JsonProblem> EditSession::ApplyDocument(const JsonValue& document, DocumentTexts texts) {
    DocumentReading reading = ReadDocument(Careers(), ChanceCardsDisabled(), document, texts);
    if (!reading.problems.empty()) return std::move(reading.problems);
    EditScope scope;
    scope.allCareers = true;  // the card texts too
    Record("Apply", {}, scope, [&](EditPlace&) {
        if (!reading.changed) return false;
        // The reading began as a copy of these careers, so each keeps the chunks it remembers.
        context_->careerSet.careers = std::move(reading.careers);
        context_->careerSet.cardTexts = std::move(reading.cardTexts);
        return true;
    });
    return {};
}

bool EditSession::Export(UserPort& port, std::optional<std::uint32_t> career) const {
    return CareerExportCommand(career, context_->careerSet, context_->iconStrips, port);
}

bool EditSession::Backup(UserPort& port) const {
    return CareerBackupCommand(context_->careerSet, context_->iconStrips, port);
}

std::string EditSession::UndoName() const {
    const EditStep* step = history_.NextUndo();
    return step != nullptr ? step->name : std::string();
}

std::string EditSession::RedoName() const {
    const EditStep* step = history_.NextRedo();
    return step != nullptr ? step->name : std::string();
}

std::optional<EditPlace> EditSession::Undo() {
    if (history_.CanUndo()) KeepBaseline();
    const EditStep* step = history_.StepBack();
    if (step == nullptr) return std::nullopt;
    step->before.Put(*context_);
    return step->place;
}

std::optional<EditPlace> EditSession::Redo() {
    if (history_.CanRedo()) KeepBaseline();
    const EditStep* step = history_.StepForward();
    if (step == nullptr) return std::nullopt;
    step->after.Put(*context_);
    return step->place;
}

void EditSession::KeepBaseline() {
    if (!baseline_) baseline_ = ModelSnapshot::Of(*context_);
}

std::vector<ModelChange> EditSession::ReviewChanges() const {
    std::vector<ModelChange> changes;
    for (const EditStep* step : history_.DoneSinceClean()) {
        if (step->name != ImportStepName) continue;
        ModelChange change;
        change.place = step->place;
        if (const Career* career = step->place.career ? CareerAt(*step->place.career) : nullptr) {
            change.kind = ModelChange::Kind::CareerImported;
            change.field = "Career Imported";
            change.after = DecodeToUtf8(career->track.name, CodePage::Windows1252);
        } else {
            change.kind = ModelChange::Kind::CareersRestored;
            change.field = "All Careers Restored";
        }
        changes.push_back(std::move(change));
    }
    if (baseline_) {
        std::vector<ModelChange> differences = ListChanges(*baseline_, context_->careerSet, context_->iconStrips);
        changes.insert(changes.end(), std::make_move_iterator(differences.begin()),
                       std::make_move_iterator(differences.end()));
    }
    return changes;
}

}  // namespace tw

// The session's import of translations, kept apart from the other edits.
#include "edit/EditSession.h"

namespace tw {

TranslationImportResult EditSession::ImportTranslations(const PoCatalog& catalog, std::optional<std::uint16_t> slot) {
    TranslationImportResult result;
    if (!slot) {
        const Expected<std::uint16_t> named = TranslationSlot(catalog);
        if (!named) {
            result.refused.push_back(named.Reason());
            return result;
        }
        slot = *named;
    }
    if (*slot >= StringTable::SlotCount) {
        result.refused.push_back("there is no language slot " + std::to_string(*slot));
        return result;
    }
    result.slot = slot;
    TranslationPlan plan = PlanTranslationImport(Careers(), !ChanceCardsDisabled(), catalog, *slot);
    if (!plan.refused.empty()) {
        result.refused = std::move(plan.refused);
        return result;
    }
    EditScope scope;
    scope.allCareers = true;  // the card texts too
    // An undo shows the language, when the Language menu has it.
    EditPlace place;
    if (*slot < CareerTexts::MenuSlotCount) place.language = slot;
    Record("Import Translations", place, scope, [&](EditPlace&) {
        for (const TranslationEdit& edit : plan.edits)
            SetTranslatableBytes(context_->careerSet, edit.text, *slot, edit.bytes, edit.which);
        return !plan.edits.empty();
    });
    result.textsChanged = plan.textsChanged;
    return result;
}

}  // namespace tw

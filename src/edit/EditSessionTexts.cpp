// The session's edits of Career > Translations, and the warning they share with Set All.
#include "edit/EditSession.h"

#include "text/TextCodec.h"

namespace tw {
namespace {

constexpr const char* CardTextName = "Chance Card Text";

// The names of the languages in `slots`, in slot order, separated by commas.
std::string LanguageList(const LanguageSet& slots) {
    std::string list;
    for (std::size_t slot = 0; slot < LanguageNames.size(); ++slot)
        if (slots.test(slot)) list += std::string(list.empty() ? "" : ", ") + LanguageNames[slot];
    return list;
}

// A chance card's text changes only while its card may be edited, as in the chance card dialog.
bool MayEdit(const EditSession& session, const TranslatableText& text) {
    return !text.IsCard() || session.ChanceCardEditable(text.career, text.level);
}

EditPlace PlaceOf(const TranslatableText& text, std::uint16_t slot) {
    EditPlace place{text.career, std::nullopt, slot};
    if (text.IsCard() || CareerTexts::IsJobText(*text.text)) place.level = text.level;
    return place;
}

EditScope ScopeOf(const TranslatableText& text) {
    EditScope scope{{text.career}};
    scope.cardTexts = text.IsCard();
    return scope;
}

}  // namespace

void EditSession::WarnLostCharacters(UserPort& port, const LanguageSet& lost) {
    if (lost.none()) return;
    port.Tell("Some characters have no place in the code page of these languages and became \"?\": " +
                  LanguageList(lost) + ".",
              "Warning", MessageIcon::Warning);
}

bool EditSession::SetTranslation(const TranslatableText& text, std::uint16_t slot, const std::string& bytes) {
    if (slot >= StringTable::SlotCount || !MayEdit(*this, text)) return false;
    if (TranslatableBytes(Careers(), text, slot) == bytes) return false;
    const std::string name = text.IsCard() ? CardTextName : TextName(*text.text);
    return Record(name, PlaceOf(text, slot), ScopeOf(text),
                  [&](EditPlace&) { return SetTranslatableBytes(context_->careerSet, text, slot, bytes); });
}

bool EditSession::CopyToAllLanguages(UserPort& port, const TranslatableText& text, std::uint16_t slot) {
    if (slot >= StringTable::SlotCount || !MayEdit(*this, text)) return false;
    const std::string source = TranslatableBytes(Careers(), text, slot);
    LanguageSet lost;
    const bool changed = Record("Copy to All Languages", PlaceOf(text, slot), ScopeOf(text), [&](EditPlace&) {
        bool any = false;
        for (std::uint16_t target = 0; target < CareerTexts::MenuSlotCount; ++target) {
            if (target == slot) continue;
            const ConvertedText converted = ConvertText(source, SlotCodePage(slot), SlotCodePage(target));
            if (TranslatableBytes(Careers(), text, target) == converted.bytes) continue;
            if (!SetTranslatableBytes(context_->careerSet, text, target, converted.bytes)) return false;
            any = true;
            if (converted.lost) lost.set(target);
        }
        return any;
    });
    WarnLostCharacters(port, lost);
    return changed;
}

}  // namespace tw

#pragma once

#include "edit/TranslatableTexts.h"
#include "exchange/PoFile.h"
#include "model/CareerSet.h"
#include "util/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// The header field that names the language slot of an exported PO file exactly.
inline constexpr char SlotHeaderField[] = "X-Trackwright-Slot";

// The language code of slot `slot` in PO files ("de" for German); "und" (undetermined) for
// slot 15, which no language has; empty beyond.
std::string TranslationLanguageCode(std::uint16_t slot);

// The slot that a language named on the command line or in the Language menu stands for: a
// slot number 0 to 15, or a language's name in any case ("german"). None for anything else.
std::optional<std::uint16_t> TranslationSlotNamed(const std::string& name);

// The PO file of language `slot` (0 to 15): every translatable text whose slot-0 text is not
// empty, with that text as msgid, the slot's as msgstr, "Career #<id>: <label>" as msgctxt,
// slot 0's comment as extracted and the slot's as translator comments. `revisionDate` is the
// header's PO-Revision-Date ("2026-12-10 01:56+0000").
PoCatalog ExportTranslations(const CareerSet& set, bool withCards, std::uint16_t slot, const std::string& revisionDate);

// The current time in the form PO files date themselves.
std::string PoRevisionDateNow();

// The slot a catalog holds: its X-Trackwright-Slot, else its Language ("de", "pt_BR",
// "zh_TW.UTF-8"). A failure saying why when neither names one slot.
Expected<std::uint16_t> TranslationSlot(const PoCatalog& catalog);

// One text of the game as an import would leave it.
struct TranslationEdit {
    TranslatableText text;
    int which = StringTable::Value;
    std::string bytes;
};

// What importing a catalog into language `slot` would do: the values and comments that differ
// from the game's, or, when any entry is refused, every refused entry in file order (its context,
// its msgid and why) and no edits. Fuzzy entries and empty msgstrs leave their texts alone; a
// msgstr (or translator comment) as the export would write it for the current text changes
// nothing, so an unchanged file changes no byte.
struct TranslationPlan {
    std::vector<TranslationEdit> edits;
    std::vector<std::string> refused;
    std::size_t textsChanged = 0;  // texts with an edit of their value, comment or both
};
TranslationPlan PlanTranslationImport(const CareerSet& set, bool withCards, const PoCatalog& catalog,
                                      std::uint16_t slot);

// What an import of translations did.
struct TranslationImportResult {
    std::optional<std::uint16_t> slot;  // the language imported into; none when the file named none
    // Why nothing was changed: each refused entry, or why the file's language is not known.
    std::vector<std::string> refused;
    std::size_t textsChanged = 0;
};

}  // namespace tw

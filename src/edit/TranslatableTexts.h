#pragma once

#include "model/CareerSet.h"
#include "model/CareerTexts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// One text that translators work on: a text of a career (its name, its offer texts, a level's
// job names and description) or the text of a level's chance card.
struct TranslatableText {
    std::uint32_t career = 0;  // index in the career set
    // The career text; none for the chance card of `level`.
    std::optional<CareerTexts::Text> text;
    std::uint32_t level = 0;  // for job texts and chance cards; 0 otherwise

    bool IsCard() const { return !text.has_value(); }
    bool operator==(const TranslatableText&) const = default;
};

// The translatable texts of one career in the order a person reads them: career name, male and
// female offer texts, then for each level that has texts its male job name, female job name,
// job description and, with `withCards`, its chance card's text when the card has one.
std::vector<TranslatableText> TranslatableTexts(const CareerSet& set, std::uint32_t career, bool withCards);
// The same for every career, in the career set's order.
std::vector<TranslatableText> AllTranslatableTexts(const CareerSet& set, bool withCards);

// The text's value (or, with StringTable::Comment, its comment) in language `slot`, as bytes of
// the slot's code page; empty when it has none.
std::string TranslatableBytes(const CareerSet& set, const TranslatableText& text, std::uint16_t slot,
                              int which = StringTable::Value);
// Stores the text's value (or comment) in `slot`. False when the text is not there (a career or
// level that is gone, a card without a text row) or the slot is out of range.
bool SetTranslatableBytes(CareerSet& set, const TranslatableText& text, std::uint16_t slot, const std::string& bytes,
                          int which = StringTable::Value);

// What the text is, for a person: "Career name", "Level 3: Male job name", "Level 3: Chance card"
// (levels numbered as the job list and the check number them, from 0).
std::string TranslatableLabel(const TranslatableText& text);

}  // namespace tw

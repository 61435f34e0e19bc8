#include "edit/TranslationTable.h"

#include "model/CareerSet.h"
#include "model/Languages.h"
#include "text/LineBreakForms.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"
#include "util/TypedText.h"

namespace tw {
namespace {

std::u32string CodePoints(std::string_view utf8) {
    std::u32string points;
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Char next = NextUtf8(utf8, at);
        if (next.codePoint) points += *next.codePoint;
        at += next.size;
    }
    return points;
}

}  // namespace

TranslationTable TranslationTable::Of(const CareerSet& set, std::uint32_t career, bool withCards) {
    TranslationTable table;
    for (const TranslatableText& text : TranslatableTexts(set, career, withCards)) {
        Row row{text, {}};
        for (std::uint16_t slot = 0; slot < SlotCount; ++slot) row.bytes[slot] = TranslatableBytes(set, text, slot);
        table.rows_.push_back(std::move(row));
    }
    return table;
}

const TranslatableText& TranslationTable::Text(std::size_t row) const {
    static const TranslatableText none;
    return row < rows_.size() ? rows_[row].text : none;
}

const std::string& TranslationTable::Bytes(std::size_t row, std::uint16_t slot) const {
    static const std::string none;
    return row < rows_.size() && slot < SlotCount ? rows_[row].bytes[slot] : none;
}

std::string TranslationTable::Shown(std::size_t row, std::uint16_t slot) const {
    return ShownLineBreaks(DecodeToUtf8(Bytes(row, slot), SlotCodePage(slot)));
}

TranslationTable::CellReading TranslationTable::Read(std::size_t row, std::uint16_t slot, std::string_view typed) const {
    CellReading reading;
    if (row >= rows_.size() || slot >= SlotCount) return reading;
    const std::string& previous = Bytes(row, slot);
    const std::string shown = Shown(row, slot);
    if (typed == shown) {
        reading.bytes = previous;
        return reading;
    }
    const CodePage page = SlotCodePage(slot);
    reading.bytes = EncodeEdit(StoredLineBreaks(typed, previous), previous, page);
    if (reading.bytes) return reading;
    const TypedText fitted =
        KeepWhatFits(CodePoints(shown), CodePoints(typed), [page](char32_t c) { return CanEncode(c, page); });
    for (char32_t c : fitted.leftOut) AppendUtf8(reading.leftOut, c);
    return reading;
}

bool TranslationTable::Missing(std::size_t row, std::uint16_t slot) const {
    if (row >= rows_.size() || slot >= SlotCount || !rows_[row].bytes[slot].empty()) return false;
    if (slot != 0) return !rows_[row].bytes[0].empty();
    for (const std::string& bytes : rows_[row].bytes)
        if (!bytes.empty()) return true;
    return false;
}

std::vector<std::size_t> TranslationTable::Rows(std::optional<std::uint16_t> missingIn) const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (!missingIn || Missing(row, *missingIn)) rows.push_back(row);
    return rows;
}

std::string TranslationTable::SlotName(std::uint16_t slot) {
    return slot < LanguageNames.size() ? LanguageNames[slot] : "Slot " + std::to_string(slot);
}

bool TranslationTable::MultiLine(const TranslatableText& text) {
    if (text.IsCard()) return true;
    switch (*text.text) {
        case CareerTexts::Text::MaleOffer:
        case CareerTexts::Text::FemaleOffer:
        case CareerTexts::Text::JobDescription: return true;
        default: return false;
    }
}

}  // namespace tw

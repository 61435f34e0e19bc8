#include "model/CardTexts.h"

namespace tw {

std::optional<std::string> CardTexts::Get(std::uint16_t textRow, std::uint16_t slot) const {
    std::string text;
    if (textRow == 0 || !table.GetText(static_cast<std::uint16_t>(textRow - 1), slot, StringTable::Value, text))
        return std::nullopt;
    return text;
}

bool CardTexts::Set(std::uint16_t textRow, std::uint16_t slot, const std::string& text) {
    if (textRow == 0 || slot >= StringTable::SlotCount) return false;
    const auto row = static_cast<std::uint16_t>(textRow - 1);
    while (table.RowCount() < row)
        if (!table.SetText(static_cast<std::uint16_t>(table.RowCount()), slot, StringTable::Value, {})) return false;
    return table.SetText(row, slot, StringTable::Value, text);
}

bool CardTexts::IsFree(std::uint16_t textRow) const { return textRow >= 1 && textRow <= FlaggedRows && free_[textRow]; }

void CardTexts::SetFree(std::uint16_t textRow, bool free) {
    if (textRow >= 1 && textRow <= FlaggedRows) free_[textRow] = free;
}

void CardTexts::FreeAll() {
    free_.fill(true);
    free_[0] = false;
}

std::uint16_t CardTexts::TakeFreeRow() {
    for (std::uint16_t row = 1; row <= LastSearchedRow; ++row) {
        if (free_[row]) {
            free_[row] = false;
            return row;
        }
    }
    return 0;
}

CardTextRowState OpeningTextRow(const CardTexts& texts, std::uint16_t textRow, bool cardHasItems) {
    CardTextRowState state{textRow, false};
    if (textRow != 0 && !cardHasItems) {
        if (texts.IsFree(textRow))
            state.released = true;
        else
            state.textRow = 0;
    }
    return state;
}

CardTextPlacement PlaceCardText(CardTexts& texts, const CardTextRowState& row, bool cardHasItems, std::uint16_t slot,
                                const std::string& text) {
    if (!cardHasItems) {
        if (row.textRow == 0) return {0, CardTextResult::NoText};
        texts.Set(row.textRow, slot, text);
        texts.SetFree(row.textRow, true);
        return {row.textRow, CardTextResult::Stored};
    }
    // The card holds its row, or takes back the row it let go while nobody else has it.
    if (row.textRow != 0 && (!row.released || texts.IsFree(row.textRow))) {
        texts.SetFree(row.textRow, false);
        texts.Set(row.textRow, slot, text);
        return {row.textRow, CardTextResult::Stored};
    }
    const std::uint16_t taken = texts.TakeFreeRow();
    if (taken == 0) return {0, CardTextResult::NoFreeRow};
    texts.Set(taken, slot, text);
    return {taken, CardTextResult::Stored};
}

CardTextPlacement ConfirmCard(CardTexts& texts, ChanceCard& card, const std::vector<CardItem>& items,
                              std::uint16_t slot, const std::string& text) {
    const CardTextRowState opening = OpeningTextRow(texts, card.textRow, !card.items.empty());
    const CardTextPlacement placement = PlaceCardText(texts, opening, !items.empty(), slot, text);
    card.textRow = placement.textRow;
    card.items = items;
    return placement;
}

bool ConfirmKeepsCard(const CardTexts& texts, const ChanceCard& card, const std::vector<CardItem>& items,
                      std::uint16_t slot, const std::string& text) {
    if (items != card.items) return false;
    const CardTextRowState opening = OpeningTextRow(texts, card.textRow, !card.items.empty());
    return text == texts.Get(opening.textRow, slot).value_or(std::string());
}

}  // namespace tw

#include "ui/CardTextRows.h"

namespace tw {

CardTextRowState OpeningTextRow(const CardTextStore& store, std::uint16_t textRow, bool cardHasItems) {
    CardTextRowState state{textRow, false};
    if (textRow != 0 && !cardHasItems) {
        if (store.IsFree(textRow))
            state.released = true;
        else
            state.textRow = 0;
    }
    return state;
}

static CardTextPlacement WriteInto(CardTextStore& store, std::uint16_t textRow, std::uint16_t slot,
                                   const std::string& text) {
    return {textRow, store.SetText(textRow, slot, text) ? CardTextResult::Stored : CardTextResult::NotStored};
}

CardTextPlacement PlaceCardText(CardTextStore& store, const CardTextRowState& row, bool cardHasItems,
                                std::uint16_t slot, const std::string& text) {
    if (!cardHasItems) {
        if (row.textRow == 0) return {0, CardTextResult::NoText};
        const CardTextPlacement placement = WriteInto(store, row.textRow, slot, text);
        store.SetFree(row.textRow, true);
        return placement;
    }
    if (row.textRow != 0 && !row.released) {
        // The card holds its row; make sure no new card can take it.
        store.SetFree(row.textRow, false);
        return WriteInto(store, row.textRow, slot, text);
    }
    if (row.textRow != 0 && store.IsFree(row.textRow)) {
        store.SetFree(row.textRow, false);
        return WriteInto(store, row.textRow, slot, text);
    }
    for (std::uint16_t t = FirstSearchedTextRow; t <= LastSearchedTextRow; ++t) {
        if (!store.IsFree(t)) continue;
        store.SetFree(t, false);
        const CardTextPlacement placement = WriteInto(store, t, slot, text);
        if (placement.result == CardTextResult::Stored) return placement;
        // The table could not take this row: leave it free and the card without text.
        store.SetFree(t, true);
        return {0, CardTextResult::NotStored};
    }
    return {0, CardTextResult::NoFreeRow};
}

}  // namespace tw

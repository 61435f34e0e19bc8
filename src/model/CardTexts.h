#pragma once

#include "model/ChanceCard.h"
#include "model/StringTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw {

// The texts of all chance cards (STR# 301 of CarPortal.iff) and which of their rows are free.
// A card names its text by a text row that counts from 1: text row t is row t - 1 of the table,
// and 0 means "no text". The free flags cover text rows 1 to 300; new texts take the lowest
// free row among 1 to 256.
class CardTexts {
public:
    static constexpr std::uint16_t TableId = 301;
    static constexpr std::uint16_t FlaggedRows = 300;
    static constexpr std::uint16_t LastSearchedRow = 256;

    // The value text of `textRow` in `slot`; none for row 0 and rows the table lacks.
    std::optional<std::string> Get(std::uint16_t textRow, std::uint16_t slot) const;
    // Writes one language of `textRow`. A row past the end of the table is reached through empty
    // rows, so that the text is kept. False for row 0 and slots out of range.
    bool Set(std::uint16_t textRow, std::uint16_t slot, const std::string& text);

    // Whether no card holds the row; rows outside 1 to 300 are never free.
    bool IsFree(std::uint16_t textRow) const;
    // Rows outside 1 to 300 are passed over.
    void SetFree(std::uint16_t textRow, bool free);
    // Every row free (before the rows that dialogs name are taken).
    void FreeAll();
    // The lowest free row among 1 to 256, now taken; 0 when none is free.
    std::uint16_t TakeFreeRow();

    // The card texts' string table resource.
    StringTable table;

private:
    std::array<bool, FlaggedRows + 1> free_{};
};

// A card's text row as the chance card dialog finds it when it opens.
struct CardTextRowState {
    std::uint16_t textRow = 0;
    // The card had let its row go (it was confirmed without items); the row may be taken back
    // only while no other card has taken it.
    bool released = false;
};

// A card that holds a row but no items has let the row go: no card code refers to it, so the
// row counts as free. If the row has been taken by another card since, its text is that card's
// and this card is treated as having no text.
CardTextRowState OpeningTextRow(const CardTexts& texts, std::uint16_t textRow, bool cardHasItems);

enum class CardTextResult {
    Stored,     // the text went into the card's row
    NoText,     // the card has no row and needs none (no items)
    NoFreeRow,  // the card needs a row but none of rows 1 to 256 is free; the text is dropped
};

struct CardTextPlacement {
    std::uint16_t textRow = 0;
    CardTextResult result = CardTextResult::NoText;
};

// Stores a confirmed card's text in language `slot` only and settles its row:
// - without items the card keeps its row number, the text is written and the row is freed;
// - with items the card writes into its own row, takes a released row back while it is still
//   free, or else takes the lowest free row among 1 to 256.
// A row is only ever written by the card that holds it, so no card changes another's text.
CardTextPlacement PlaceCardText(CardTexts& texts, const CardTextRowState& row, bool cardHasItems, std::uint16_t slot,
                                const std::string& text);

// A chance card confirmed with `items` and its text in `slot`: the card's text row settled as
// PlaceCardText does from the row the card held, then the items taken over.
CardTextPlacement ConfirmCard(CardTexts& texts, ChanceCard& card, const std::vector<CardItem>& items,
                              std::uint16_t slot, const std::string& text);

// Whether confirming `card` with `items` and `text` in `slot` keeps what the chance card dialog
// showed of it: the same items and the text of the row it opens with (empty for none). Such a
// confirmation changes nothing for the person, so it must not take or let go a row either.
bool ConfirmKeepsCard(const CardTexts& texts, const ChanceCard& card, const std::vector<CardItem>& items,
                      std::uint16_t slot, const std::string& text);

}  // namespace tw

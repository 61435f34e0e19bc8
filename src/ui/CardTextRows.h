#pragma once

#include <cstdint>
#include <string>

#include "ui/CardTextStore.h"

namespace tw {

// New card texts take the lowest free row among these.
inline constexpr std::uint16_t FirstSearchedTextRow = 1;
inline constexpr std::uint16_t LastSearchedTextRow = 256;

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
CardTextRowState OpeningTextRow(const CardTextStore& store, std::uint16_t textRow, bool cardHasItems);

enum class CardTextResult {
    Stored,     // the text went into the card's row
    NoText,     // the card has no row and needs none (no items)
    NoFreeRow,  // the card needs a row but none of rows 1 to 256 is free; the text is dropped
    NotStored,  // the string table refused the row; the text is dropped
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
CardTextPlacement PlaceCardText(CardTextStore& store, const CardTextRowState& row, bool cardHasItems,
                                std::uint16_t slot, const std::string& text);

}  // namespace tw

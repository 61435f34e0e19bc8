#include <gtest/gtest.h>

#include "model/CardTexts.h"
#include "support/FakeCardTexts.h"

namespace tw {
namespace {

constexpr std::uint16_t French = 2;

TEST(CardTextsTest, CardWithoutItemsWritesAndFreesItsRow) {
    test::FakeCardTexts texts;
    const auto placement = PlaceCardText(texts.store, OpeningTextRow(texts.store, 4, true), false, French, "bye");
    EXPECT_EQ(placement.textRow, 4);
    EXPECT_EQ(placement.result, CardTextResult::Stored);
    EXPECT_EQ(texts.Text(4, French), "bye");
    EXPECT_TRUE(texts.IsFree(4));

    const auto none = PlaceCardText(texts.store, OpeningTextRow(texts.store, 0, false), false, French, "x");
    EXPECT_EQ(none.textRow, 0);
    EXPECT_EQ(none.result, CardTextResult::NoText);
}

TEST(CardTextsTest, NewTextTakesTheLowestFreeRowInOneLanguage) {
    test::FakeCardTexts texts;
    texts.Free({9, 5, 257});
    texts.SetText(5, 0, "stale English");
    const auto placement = PlaceCardText(texts.store, OpeningTextRow(texts.store, 0, true), true, French, "neuf");
    EXPECT_EQ(placement.textRow, 5);
    EXPECT_FALSE(texts.IsFree(5));
    EXPECT_TRUE(texts.IsFree(9));
    EXPECT_EQ(texts.Text(5, French), "neuf");
    EXPECT_EQ(texts.Text(5, 0), "stale English");
}

TEST(CardTextsTest, OnlyRowsUpTo256AreSearched) {
    test::FakeCardTexts texts;
    texts.Free({257, 300});
    const auto placement = PlaceCardText(texts.store, {}, true, French, "lost");
    EXPECT_EQ(placement.textRow, 0);
    EXPECT_EQ(placement.result, CardTextResult::NoFreeRow);
    EXPECT_TRUE(texts.IsFree(257));
}

TEST(CardTextsTest, ReleasedRowIsTakenBackWhileStillFree) {
    test::FakeCardTexts texts;
    texts.Free({3, 7});  // 7 was let go by the card
    const CardTextRowState opening = OpeningTextRow(texts.store, 7, false);
    EXPECT_EQ(opening.textRow, 7);
    EXPECT_TRUE(opening.released);
    const auto placement = PlaceCardText(texts.store, opening, true, French, "again");
    EXPECT_EQ(placement.textRow, 7);
    EXPECT_FALSE(texts.IsFree(7));
    EXPECT_TRUE(texts.IsFree(3));
    EXPECT_EQ(texts.Text(7, French), "again");
}

TEST(CardTextsTest, ReleasedRowTakenByAnotherCardIsLeftAlone) {
    test::FakeCardTexts texts;
    texts.Free({11});
    texts.SetText(7, French, "the other card");
    // Row 7 is used again, but this card has no items: the other card holds it now.
    const CardTextRowState opening = OpeningTextRow(texts.store, 7, false);
    EXPECT_EQ(opening.textRow, 0);

    const auto emptied = PlaceCardText(texts.store, opening, false, French, "mine");
    EXPECT_EQ(emptied.textRow, 0);
    EXPECT_FALSE(texts.IsFree(7));

    const auto confirmed = PlaceCardText(texts.store, opening, true, French, "mine");
    EXPECT_EQ(confirmed.textRow, 11);
    EXPECT_EQ(texts.Text(11, French), "mine");
    EXPECT_EQ(texts.Text(7, French), "the other card");
    EXPECT_FALSE(texts.IsFree(7));
}

TEST(CardTextsTest, CardWithItemsHoldsItsRowEvenWhenFlaggedFree) {
    // Two cards of the game's own code may share a row; when one of them is emptied the row is
    // flagged free although the other still shows it. Confirming the other claims it again.
    test::FakeCardTexts texts;
    texts.Free({6, 9});
    const auto placement = PlaceCardText(texts.store, OpeningTextRow(texts.store, 6, true), true, French, "still mine");
    EXPECT_EQ(placement.textRow, 6);
    EXPECT_FALSE(texts.IsFree(6));
    EXPECT_EQ(PlaceCardText(texts.store, {}, true, French, "new").textRow, 9);
}

TEST(CardTextsTest, ARowPastTheEndOfTheTableGrowsItRatherThanLosingTheText) {
    test::FakeCardTexts texts(0);
    texts.Free({2});  // row 1 is held by a card whose row the table lacks
    const auto placement = PlaceCardText(texts.store, {}, true, French, "text");
    EXPECT_EQ(placement.textRow, 2);
    EXPECT_EQ(placement.result, CardTextResult::Stored);
    EXPECT_EQ(texts.Text(2, French), "text");
    EXPECT_EQ(texts.store.table.RowCount(), 2u);

    const auto own = PlaceCardText(texts.store, {40, false}, true, French, "own");
    EXPECT_EQ(own.textRow, 40);
    EXPECT_EQ(texts.Text(40, French), "own");
    EXPECT_EQ(texts.store.table.RowCount(), 40u);
}

TEST(CardTextsTest, StoreIgnoresRowsOutsideTheFlags) {
    test::FakeCardTexts texts;
    texts.store.SetFree(0, true);
    texts.store.SetFree(301, true);
    texts.store.SetFree(65535, true);
    EXPECT_FALSE(texts.store.IsFree(0));
    EXPECT_FALSE(texts.store.IsFree(301));
    EXPECT_EQ(texts.store.Get(0, 0), std::nullopt);
    EXPECT_FALSE(texts.store.Set(0, 0, "x"));
    EXPECT_EQ(texts.store.Get(21, 0), std::nullopt);
}

}  // namespace
}  // namespace tw

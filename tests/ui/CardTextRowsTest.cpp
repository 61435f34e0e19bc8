#include <gtest/gtest.h>

#include "FakeCardTexts.h"
#include "ui/CardTextRows.h"

namespace tw {
namespace {

constexpr std::uint16_t French = 2;

TEST(CardTextRowsTest, CardWithoutItemsWritesAndFreesItsRow) {
    test::FakeCardTexts texts;
    const auto placement = PlaceCardText(texts.store, OpeningTextRow(texts.store, 4, true), false, French, "bye");
    EXPECT_EQ(placement.textRow, 4);
    EXPECT_EQ(placement.result, CardTextResult::Stored);
    EXPECT_EQ(texts.Text(4, French), "bye");
    EXPECT_TRUE(texts.freeRows[4]);

    const auto none = PlaceCardText(texts.store, OpeningTextRow(texts.store, 0, false), false, French, "x");
    EXPECT_EQ(none.textRow, 0);
    EXPECT_EQ(none.result, CardTextResult::NoText);
}

TEST(CardTextRowsTest, NewTextTakesTheLowestFreeRowInOneLanguage) {
    test::FakeCardTexts texts;
    texts.freeRows[9] = texts.freeRows[5] = texts.freeRows[257] = true;
    texts.Text(5, 0) = "stale English";
    const auto placement = PlaceCardText(texts.store, OpeningTextRow(texts.store, 0, true), true, French, "neuf");
    EXPECT_EQ(placement.textRow, 5);
    EXPECT_FALSE(texts.freeRows[5]);
    EXPECT_TRUE(texts.freeRows[9]);
    EXPECT_EQ(texts.Text(5, French), "neuf");
    EXPECT_EQ(texts.Text(5, 0), "stale English");
}

TEST(CardTextRowsTest, OnlyRowsUpTo256AreSearched) {
    test::FakeCardTexts texts;
    texts.freeRows[257] = texts.freeRows[300] = true;
    const auto placement = PlaceCardText(texts.store, {}, true, French, "lost");
    EXPECT_EQ(placement.textRow, 0);
    EXPECT_EQ(placement.result, CardTextResult::NoFreeRow);
    EXPECT_TRUE(texts.freeRows[257]);
}

TEST(CardTextRowsTest, ReleasedRowIsTakenBackWhileStillFree) {
    test::FakeCardTexts texts;
    texts.freeRows[3] = texts.freeRows[7] = true;  // 7 was let go by the card
    const CardTextRowState opening = OpeningTextRow(texts.store, 7, false);
    EXPECT_EQ(opening.textRow, 7);
    EXPECT_TRUE(opening.released);
    const auto placement = PlaceCardText(texts.store, opening, true, French, "again");
    EXPECT_EQ(placement.textRow, 7);
    EXPECT_FALSE(texts.freeRows[7]);
    EXPECT_TRUE(texts.freeRows[3]);
    EXPECT_EQ(texts.Text(7, French), "again");
}

TEST(CardTextRowsTest, ReleasedRowTakenByAnotherCardIsLeftAlone) {
    test::FakeCardTexts texts;
    texts.freeRows[11] = true;
    texts.Text(7, French) = "the other card";
    // Row 7 is used again, but this card has no items: the other card holds it now.
    const CardTextRowState opening = OpeningTextRow(texts.store, 7, false);
    EXPECT_EQ(opening.textRow, 0);

    const auto emptied = PlaceCardText(texts.store, opening, false, French, "mine");
    EXPECT_EQ(emptied.textRow, 0);
    EXPECT_FALSE(texts.freeRows[7]);

    const auto confirmed = PlaceCardText(texts.store, opening, true, French, "mine");
    EXPECT_EQ(confirmed.textRow, 11);
    EXPECT_EQ(texts.Text(11, French), "mine");
    EXPECT_EQ(texts.Text(7, French), "the other card");
    EXPECT_FALSE(texts.freeRows[7]);
}

TEST(CardTextRowsTest, CardWithItemsHoldsItsRowEvenWhenFlaggedFree) {
    // Two cards of the game's own code may share a row; when one of them is emptied the row is
    // flagged free although the other still shows it. Confirming the other claims it again.
    test::FakeCardTexts texts;
    texts.freeRows[6] = texts.freeRows[9] = true;
    const auto placement = PlaceCardText(texts.store, OpeningTextRow(texts.store, 6, true), true, French, "still mine");
    EXPECT_EQ(placement.textRow, 6);
    EXPECT_FALSE(texts.freeRows[6]);
    EXPECT_EQ(PlaceCardText(texts.store, {}, true, French, "new").textRow, 9);
}

TEST(CardTextRowsTest, RowTheTableCannotTakeStaysFree) {
    test::FakeCardTexts texts(0);
    texts.freeRows[2] = true;  // row 1 is held by a card whose row the table lacks
    const auto placement = PlaceCardText(texts.store, {}, true, French, "text");
    EXPECT_EQ(placement.textRow, 0);
    EXPECT_EQ(placement.result, CardTextResult::NotStored);
    EXPECT_TRUE(texts.freeRows[2]);

    const auto own = PlaceCardText(texts.store, {40, false}, true, French, "text");
    EXPECT_EQ(own.textRow, 40);
    EXPECT_EQ(own.result, CardTextResult::NotStored);
}

TEST(CardTextRowsTest, StoreIgnoresRowsOutsideTheFlags) {
    test::FakeCardTexts texts;
    texts.store.SetFree(0, true);
    texts.store.SetFree(301, true);
    texts.store.SetFree(65535, true);
    EXPECT_FALSE(texts.freeRows[0]);
    EXPECT_FALSE(texts.store.IsFree(0));
    EXPECT_FALSE(texts.store.IsFree(301));
    EXPECT_EQ(texts.store.GetText(0, 0), std::nullopt);
    EXPECT_FALSE(texts.store.SetText(0, 0, "x"));
    EXPECT_EQ(texts.store.GetText(21, 0), std::nullopt);
}

}  // namespace
}  // namespace tw

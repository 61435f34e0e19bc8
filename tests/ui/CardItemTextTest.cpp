#include <gtest/gtest.h>

#include "model/CardItemFields.h"
#include "ui/CardItemText.h"

namespace tw {
namespace {

TEST(CardItemTextTest, RowTextsOfEveryKind) {
    const struct {
        CardItem item;
        const char* row;
    } cases[] = {
        {{1, 0, 1000}, "Budget: add 1000"},
        {{1, 1, 250}, "Budget: subtract 250"},
        {{1, 7, 70000}, "Budget: subtract 70000"},
        {{1, 0, 4294967295u}, "Budget: add 4294967295"},
        {{2, 0, 10u * 65536 + 5}, "Skill: Cooking add 5"},
        {{2, 1, 11u * 65536 + 2}, "Skill: Charisma subtract 2"},
        {{2, 0, 12u * 65536}, "Skill: Mechanical add 0"},
        {{2, 1, 15u * 65536 + 1000}, "Skill: Creativity subtract 1000"},
        {{2, 0, 17u * 65536 + 3}, "Skill: Body add 3"},
        {{2, 0, 18u * 65536 + 4}, "Skill: Logic add 4"},
        {{2, 0, 13u * 65536 + 5}, "Skill: unknown add 5"},
        {{2, 2, 10u * 65536 + 5}, "Skill: Cooking unknown 5"},
        {{3, 2, 57u * 65536 + 3}, "Job: Promotion Level set to 3"},
        {{3, 2, 56u * 65536 + 12}, "Job: Career Path set to 12"},
        {{3, 0, 58u * 65536 + 1}, "Job: unknown unknown 1"},
        {{4, 2, 312}, "Sound: Positive (Good)"},
        {{4, 2, 311}, "Sound: Negative (Bad)"},
        {{4, 2, 313}, "Sound: Unknown"},
        {{0, 0, 0}, ""},
        {{9, 1, 1}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CardItemRowText(c.item), c.row) << c.row;
}

TEST(CardItemTextTest, OpeningAnItemFillsTheFieldsOfItsGroup) {
    CardItemFields budget = GroupDefaults(1);
    budget.budgetOperation = 1;
    budget.budgetAmount = 250;
    EXPECT_EQ(FieldsForItem({1, 1, 250}), budget);

    // An unknown skill opens as "Cooking" with the amount of the lower half.
    CardItemFields skill = GroupDefaults(2);
    skill.skillAmount = 5;
    EXPECT_EQ(FieldsForItem({2, 0, 13u * 65536 + 5}), skill);

    CardItemFields mechanical = GroupDefaults(2);
    mechanical.skill = 1;
    mechanical.skillOperation = 1;
    mechanical.skillAmount = 2;
    EXPECT_EQ(FieldsForItem({2, 1, 12u * 65536 + 2}), mechanical);

    CardItemFields job = GroupDefaults(3);
    job.jobTarget = 1;
    job.jobValue = 3;
    EXPECT_EQ(FieldsForItem({3, 2, 57u * 65536 + 3}), job);
    job.jobTarget = 0;
    EXPECT_EQ(FieldsForItem({3, 2, 56u * 65536 + 3}), job);

    CardItemFields negative = GroupDefaults(4);
    negative.sound = 1;
    EXPECT_EQ(FieldsForItem({4, 2, 311}), negative);
    EXPECT_EQ(FieldsForItem({4, 2, 999}), negative);
    EXPECT_EQ(FieldsForItem({4, 2, 312}), GroupDefaults(4));

    EXPECT_EQ(FieldsForItem({7, 1, 2}), CardItemFields{});
}

TEST(CardItemTextTest, ConfirmingEncodesTheItemAndKeepsUnknownKinds) {
    const CardItem items[] = {
        {1, 0, 1000}, {1, 1, 65535}, {2, 0, 10u * 65536 + 1000}, {2, 1, 11u * 65536 + 2}, {2, 0, 12u * 65536 + 7},
        {2, 0, 15u * 65536}, {2, 1, 17u * 65536 + 3}, {2, 0, 18u * 65536 + 4}, {3, 2, 56u * 65536 + 9},
        {3, 2, 57u * 65536 + 0}, {4, 2, 311}, {4, 2, 312},
    };
    for (const CardItem& item : items) EXPECT_EQ(ItemFromFields(FieldsForItem(item), item), item) << CardItemRowText(item);

    // Opening normalises what the lists cannot show: an unknown skill becomes cooking,
    // a subtraction with parameter 7 becomes 1, an unknown sound becomes the bad one.
    EXPECT_EQ(ItemFromFields(FieldsForItem({2, 0, 13u * 65536 + 5}), {}), (CardItem{2, 0, 10u * 65536 + 5}));
    EXPECT_EQ(ItemFromFields(FieldsForItem({1, 7, 9}), {}), (CardItem{1, 1, 9}));
    EXPECT_EQ(ItemFromFields(FieldsForItem({4, 0, 500}), {}), (CardItem{4, 2, 311}));

    const CardItem unknown{7, 1, 2};
    EXPECT_EQ(ItemFromFields(FieldsForItem(unknown), unknown), unknown);
}

}  // namespace
}  // namespace tw

#include "model/CareerTexts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tw {
namespace {

using Text = CareerTexts::Text;

TEST(CareerTextsTest, EveryRowBelongsToExactlyOneTextOfOneLevel) {
    struct Case {
        Text text;
        std::uint32_t level;
        std::optional<std::uint16_t> row;
    };
    const Case cases[] = {
        {Text::CareerName, 0, 0},      {Text::MaleOffer, 0, 1},        {Text::FemaleOffer, 0, 2},
        {Text::MaleJobName, 0, 3},     {Text::JobDescription, 0, 4},   {Text::MaleJobName, 1, 5},
        {Text::JobDescription, 9, 22}, {Text::FemaleJobName, 0, 23},   {Text::FemaleJobName, 9, 32},
        // Career-wide texts ignore the level; job texts of levels past the tenth have no row.
        {Text::CareerName, 12, 0},     {Text::MaleJobName, 10, std::nullopt},
        {Text::FemaleJobName, 10, std::nullopt}, {Text::JobDescription, 0xFFFFFFFFu, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.text)) + " of level " + std::to_string(c.level));
        EXPECT_EQ(CareerTexts::Row(c.text, c.level), c.row);
    }

    // Taken together the texts of the ten levels cover rows 0 to 32, none twice.
    std::multiset<std::uint16_t> rows;
    for (Text text : {Text::CareerName, Text::MaleOffer, Text::FemaleOffer}) rows.insert(*CareerTexts::Row(text));
    for (std::uint32_t level = 0; level < CareerTexts::LevelsWithTexts; ++level)
        for (Text text : {Text::MaleJobName, Text::FemaleJobName, Text::JobDescription})
            rows.insert(*CareerTexts::Row(text, level));
    ASSERT_EQ(rows.size(), CareerTexts::RowCount);
    for (std::uint16_t row = 0; row < CareerTexts::RowCount; ++row) EXPECT_EQ(rows.count(row), 1u) << "row " << row;
}

TEST(CareerTextsTest, SetKeepsTheTextOnAShortTableAndRefusesRowsThatDoNotExist) {
    CareerTexts texts;
    texts.table.SetText(0, 0, StringTable::Value, "Career");

    ASSERT_TRUE(texts.Set(Text::FemaleJobName, 9, 3, "Chefin"));
    EXPECT_EQ(texts.table.RowCount(), 33u);
    EXPECT_EQ(texts.Get(Text::FemaleJobName, 9, 3), "Chefin");
    EXPECT_EQ(texts.Get(Text::CareerName, 0, 0), "Career");
    EXPECT_EQ(texts.Get(Text::MaleJobName, 4, 3), "");

    EXPECT_FALSE(texts.Set(Text::MaleJobName, 10, 0, "lost"));
    EXPECT_FALSE(texts.Set(Text::CareerName, 0, StringTable::SlotCount, "lost"));
    EXPECT_EQ(texts.table.RowCount(), 33u);
}

TEST(CareerTextsTest, JobNamesTableTakesOnlyTheJobNames) {
    CareerTexts texts;
    for (std::uint16_t row = 0; row < CareerTexts::RowCount; ++row)
        texts.SetRow(row, 5, "r" + std::to_string(row));
    StringTable names;
    for (std::uint16_t row = 0; row < CareerTexts::RowCount; ++row) names.SetText(row, 5, StringTable::Value, "old");

    texts.UpdateJobNames(names);
    for (std::uint16_t row = 0; row < CareerTexts::RowCount; ++row) {
        std::string value;
        ASSERT_TRUE(names.GetText(row, 5, StringTable::Value, value));
        const bool jobName = (row >= 3 && row <= 21 && row % 2 == 1) || row >= 23;
        EXPECT_EQ(value, jobName ? "r" + std::to_string(row) : "old") << "row " << row;
    }
}

}  // namespace
}  // namespace tw

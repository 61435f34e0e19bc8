// Career > Translations without a window: typed cells read into each slot's code page, the
// missing-texts filter, and the session's edits of single translations.
#include "edit/TranslationTable.h"

#include "edit/EditSession.h"
#include "sample/SampleCareerData.h"
#include "support/ScriptedPort.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tw {
namespace {

using Text = CareerTexts::Text;
using test::ScriptedPort;

const TranslatableText CareerName{0, Text::CareerName, 0};
const TranslatableText MaleOffer{0, Text::MaleOffer, 0};
const TranslatableText FemaleOffer{0, Text::FemaleOffer, 0};
const TranslatableText FirstDescription{0, Text::JobDescription, 0};
const TranslatableText ThirdCard{0, std::nullopt, 2};

std::size_t RowOf(const TranslationTable& table, const TranslatableText& text) {
    for (std::size_t row = 0; row < table.RowCount(); ++row)
        if (table.Text(row) == text) return row;
    ADD_FAILURE() << TranslatableLabel(text) << " is no row";
    return 0;
}

// Every slot of one text.
std::array<std::string, StringTable::SlotCount> AllSlots(const CareerSet& set, const TranslatableText& text) {
    std::array<std::string, StringTable::SlotCount> bytes;
    for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) bytes[slot] = TranslatableBytes(set, text, slot);
    return bytes;
}

TEST(TranslationTableTest, TypedCellsBecomeTheirSlotsBytesOrNameWhatTheCodePageLacks) {
    const struct {
        const char* what;
        TranslatableText text;
        std::uint16_t slot;
        std::string stored;  // the cell's bytes before
        std::string typed;
        std::optional<std::string> bytes;
        std::string leftOut;
    } cases[] = {
        {"German", CareerName, 3, "Imkerei", "Imkerei für Bienen", "Imkerei f\xFCr Bienen", ""},
        {"Polish", CareerName, 10, "", "Pszczelarstwo ł €", "Pszczelarstwo \xB3 \x80", ""},
        {"Korean", CareerName, 14, "", "양봉 ł", "\xBE\xE7\xBA\xC0 \xA9\xA9", ""},
        {"Traditional Chinese", CareerName, 11, "", "日本", "\xA4\xE9\xA5\xBB", ""},
        {"slot 15", CareerName, 15, "", "Café", "Caf\xE9", ""},
        {"German refuses", CareerName, 3, "Imkerei", "Imkerei ł日ł €", std::nullopt, "ł日"},
        {"Japanese refuses", CareerName, 9, "\x97\x7B\x96\x49", "養蜂€ß", std::nullopt, "€ß"},
        {"a new line break", FirstDescription, 0, "", "One\nTwo", "One\r\nTwo", ""},
        {"as the text had them", FirstDescription, 0, "One\r\nTwo", "One\nTwo\nThree", "One\r\nTwo\r\nThree", ""},
        {"bare ones stay bare", FirstDescription, 0, "One\nTwo", "One\nThree", "One\nThree", ""},
        {"untouched mixed breaks", FirstDescription, 0, "a\r\nb\nc", "a\nb\nc", "a\r\nb\nc", ""},
        {"untouched lone lead byte", CareerName, 9, "\x97\x7B\x81", "養\xF4\x8F\xBA\x81", "\x97\x7B\x81", ""},
        {"a card", ThirdCard, 2, "", "Un accident\nCoûteux", "Un accident\r\nCo\xFBteux", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CareerSet set = BuildSampleCareerData(1).careers;
        ASSERT_TRUE(SetTranslatableBytes(set, c.text, c.slot, c.stored));
        const TranslationTable table = TranslationTable::Of(set, 0, true);
        const std::size_t row = RowOf(table, c.text);
        const TranslationTable::CellReading reading = table.Read(row, c.slot, c.typed);
        EXPECT_EQ(reading.bytes, c.bytes);
        EXPECT_EQ(reading.leftOut, c.leftOut);
        // What a cell shows reads back as its own bytes.
        EXPECT_EQ(table.Read(row, c.slot, table.Shown(row, c.slot)).bytes, c.stored);
        if (c.bytes) {
            ASSERT_TRUE(SetTranslatableBytes(set, c.text, c.slot, *c.bytes));
            const TranslationTable after = TranslationTable::Of(set, 0, true);
            EXPECT_EQ(after.Shown(RowOf(after, c.text), c.slot), c.typed);
        }
    }
}

TEST(TranslationTableTest, MissingMeansEmptyWhereUSEnglishOrForItAnotherLanguageHasText) {
    CareerSet set = BuildSampleCareerData(1).careers;
    // The sample has slots 0, 1, 2, 3, 5 and 9. German lacks the career name, USEnglish the male
    // offer text; the female offer text has none at all.
    ASSERT_TRUE(SetTranslatableBytes(set, CareerName, 3, ""));
    ASSERT_TRUE(SetTranslatableBytes(set, MaleOffer, 0, ""));
    for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
        ASSERT_TRUE(SetTranslatableBytes(set, FemaleOffer, slot, ""));
    const TranslationTable table = TranslationTable::Of(set, 0, true);
    const auto texts = [&](std::optional<std::uint16_t> slot) {
        std::vector<TranslatableText> shown;
        for (std::size_t row : table.Rows(slot)) shown.push_back(table.Text(row));
        return shown;
    };
    EXPECT_EQ(texts(3), std::vector<TranslatableText>{CareerName});
    EXPECT_EQ(texts(0), std::vector<TranslatableText>{MaleOffer});
    EXPECT_TRUE(texts(9).empty());
    // A language without texts misses all but those that USEnglish lacks too.
    std::vector<TranslatableText> inPolish = texts(std::nullopt);
    std::erase(inPolish, MaleOffer);
    std::erase(inPolish, FemaleOffer);
    EXPECT_EQ(texts(10), inPolish);
    EXPECT_EQ(texts(15), inPolish);
    EXPECT_EQ(table.Rows().size(), table.RowCount());
}

// A session over the sample's careers, loaded from no files.
struct SampleSession {
    SampleSession() { session.Context().careerSet = BuildSampleCareerData(1).careers; }
    const CareerSet& Set() const { return session.Careers(); }
    EditSession session;
    ScriptedPort port;
};

TEST(EditSessionTextsTest, ATranslationIsOneStepNamedAfterItsText) {
    const struct {
        TranslatableText text;
        std::uint16_t slot;
        const char* name;
        EditPlace place;
    } cases[] = {
        {CareerName, 3, "Career Name", {0, std::nullopt, 3}},
        {FirstDescription, 15, "Job Description", {0, 0, 15}},
        {ThirdCard, 10, "Chance Card Text", {0, 2, 10}},
    };
    SampleSession game;
    EditSession& s = game.session;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = AllSlots(game.Set(), c.text);
        const std::size_t steps = s.StepsDone();
        ASSERT_TRUE(s.SetTranslation(c.text, c.slot, "Neu"));
        EXPECT_EQ(s.StepsDone(), steps + 1);
        EXPECT_EQ(s.UndoName(), c.name);
        EXPECT_EQ(TranslatableBytes(game.Set(), c.text, c.slot), "Neu");
        EXPECT_FALSE(s.SetTranslation(c.text, c.slot, "Neu")) << "the same bytes are no step";
        EXPECT_EQ(s.Undo(), c.place);
        EXPECT_EQ(AllSlots(game.Set(), c.text), before);
    }
    EXPECT_FALSE(s.SetTranslation(CareerName, 16, "x"));
    EXPECT_FALSE(s.SetTranslation({0, std::nullopt, 4}, 0, "x")) << "level 5 has no chance card";
    s.Context().chanceCardsDisabled = 1;
    EXPECT_FALSE(s.SetTranslation(ThirdCard, 0, "x"));
    EXPECT_FALSE(s.CopyToAllLanguages(game.port, ThirdCard, 0));
    EXPECT_EQ(s.StepsDone(), 0u);
}

TEST(EditSessionTextsTest, CopyToAllLanguagesConvertsWarnsOfLossesAndUndoesAsOneStep) {
    SampleSession game;
    EditSession& s = game.session;
    ASSERT_TRUE(SetTranslatableBytes(game.session.Context().careerSet, ThirdCard, 15, "kept"));
    ASSERT_TRUE(s.SetTranslation(ThirdCard, 0, "Repairs cost 5 \x80"));  // "€"
    const auto before = AllSlots(game.Set(), ThirdCard);
    const TranslatableText fourthCard{0, std::nullopt, 3};
    const auto otherCard = AllSlots(game.Set(), fourthCard);
    const std::size_t steps = s.StepsDone();

    ASSERT_TRUE(s.CopyToAllLanguages(game.port, ThirdCard, 0));
    EXPECT_EQ(game.port.Shown(), std::vector<std::string>{"Warning: Some characters have no place in the code page "
                                                          "of these languages and became \"?\": Japanese."});
    EXPECT_EQ(s.StepsDone(), steps + 1);
    EXPECT_EQ(s.UndoName(), "Copy to All Languages");
    const std::array<std::string, StringTable::SlotCount> expected = {
        "Repairs cost 5 \x80", "Repairs cost 5 \x80", "Repairs cost 5 \x80",     "Repairs cost 5 \x80",
        "Repairs cost 5 \x80", "Repairs cost 5 \x80", "Repairs cost 5 \x80",     "Repairs cost 5 \x80",
        "Repairs cost 5 \x80", "Repairs cost 5 ?",    "Repairs cost 5 \x80",     "Repairs cost 5 \xA3\xE1",
        "Repairs cost 5 \x80", "Repairs cost 5 \x80", "Repairs cost 5 \xA2\xE6", "kept"};
    const auto after = AllSlots(game.Set(), ThirdCard);
    EXPECT_EQ(after, expected);
    EXPECT_EQ(AllSlots(game.Set(), fourthCard), otherCard);

    // Nothing left to copy: no step and no warning.
    game.port.calls.clear();
    EXPECT_FALSE(s.CopyToAllLanguages(game.port, ThirdCard, 0));
    EXPECT_TRUE(game.port.calls.empty());

    EXPECT_EQ(s.Undo(), (EditPlace{0, 2, 0}));
    EXPECT_EQ(AllSlots(game.Set(), ThirdCard), before);
    EXPECT_EQ(s.UndoName(), "Chance Card Text");
    s.Redo();
    EXPECT_EQ(AllSlots(game.Set(), ThirdCard), after);
}

}  // namespace
}  // namespace tw

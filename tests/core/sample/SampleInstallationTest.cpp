#include "sample/SampleInstallation.h"

#include "edit/GameSave.h"
#include "gamefiles/GameLoad.h"
#include "support/CareerIds.h"
#include "support/ScriptedPort.h"

#include "../gamefiles/GameFolderFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tw {
namespace {

using test::GameFolder;
using test::PointAt;
using test::ScriptedPort;

constexpr std::uint16_t Slots = 16;

// Every (row, slot, which) text of a table, for comparing two tables whole.
std::vector<std::string> AllTexts(const StringTable& table) {
    std::vector<std::string> texts;
    for (std::uint16_t row = 0; row < table.RowCount(); ++row)
        for (std::uint16_t slot = 0; slot < Slots; ++slot)
            for (int which : {StringTable::Value, StringTable::Comment}) {
                std::string text;
                EXPECT_TRUE(table.GetText(row, slot, which, text));
                texts.push_back(text);
            }
    return texts;
}

std::string Text(const StringTable& table, std::uint16_t row, std::uint16_t slot) {
    std::string text;
    EXPECT_TRUE(table.GetText(row, slot, StringTable::Value, text));
    return text;
}

void ExpectSameModel(const GameContext& a, const GameContext& b) {
    const CareerSet& x = a.careerSet;
    const CareerSet& y = b.careerSet;
    ASSERT_EQ(x.Count(), y.Count());
    EXPECT_EQ(test::CareerIds(x), test::CareerIds(y));
    for (std::size_t k = 0; k < x.Count(); ++k) {
        EXPECT_EQ(x.careers[k].track.name, y.careers[k].track.name);
        EXPECT_EQ(x.careers[k].track.levels, y.careers[k].track.levels);
        EXPECT_EQ(AllTexts(x.careers[k].texts.table), AllTexts(y.careers[k].texts.table));
        EXPECT_EQ(x.careers[k].cards, y.careers[k].cards);
    }
    EXPECT_EQ(AllTexts(x.cardTexts.table), AllTexts(y.cardTexts.table));
    for (std::uint16_t row = 0; row <= CardTexts::FlaggedRows; ++row)
        EXPECT_EQ(x.cardTexts.IsFree(row), y.cardTexts.IsFree(row)) << row;
    EXPECT_EQ(a.iconStrips.ButtonStrip().pixels, b.iconStrips.ButtonStrip().pixels);
    EXPECT_EQ(a.iconStrips.PopupStrip().pixels, b.iconStrips.PopupStrip().pixels);
}

TEST(SampleInstallationTest, SameBytesEveryTimeWithArchivedFilesOnlyInArchives) {
    GameFolder first;
    GameFolder second(false);
    ASSERT_TRUE(WriteSampleInstallation(second.root / "nested"));
    const std::vector<std::string> expected = {"ExpansionShared/ExpansionShared.far", "GameData/Objects/CarPortal.iff",
                                               "UIGraphics/UIGraphics.far",
                                               "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP"};
    EXPECT_EQ(first.Files(), expected);
    for (const std::string& file : expected) EXPECT_EQ(first.Read(file), second.Read("nested/" + file)) << file;

    // A folder that holds anything, perhaps a player's real installation, is never written into.
    const std::vector<std::uint8_t> cards = first.Read("GameData/Objects/CarPortal.iff");
    const Status refused = WriteSampleInstallation(first.root);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.Reason().find("not empty"), std::string::npos) << refused.Reason();
    EXPECT_EQ(first.Read("GameData/Objects/CarPortal.iff"), cards);
    EXPECT_EQ(first.Files(), expected);
}

TEST(SampleInstallationTest, LoadsTenCareersWithTextsCardsAndIcons) {
    GameFolder folder;
    GameContext context;
    PointAt(context, folder);
    ScriptedPort port;
    ASSERT_EQ(RunLoad(context, port), 1);
    EXPECT_TRUE(port.calls.empty());
    const CareerSet& set = context.careerSet;
    ASSERT_EQ(set.Count(), 10u);
    EXPECT_EQ(test::CareerIds(set), (std::vector<std::uint16_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(set.careers[0].track.name, "Beekeeping");
    EXPECT_EQ(set.careers[9].track.name, "MountainGuiding");

    for (std::size_t k = 0; k < set.Count(); ++k) {
        SCOPED_TRACE(set.careers[k].track.name);
        ASSERT_EQ(set.careers[k].track.levels.size(), 10u);
        EXPECT_EQ(set.careers[k].texts.table.RowCount(), 33u);
        for (const std::uint16_t slot : std::vector<std::uint16_t>{0, 1, 2, 3, 5, 9})
            for (std::uint16_t row = 0; row < 33; ++row) EXPECT_FALSE(Text(set.careers[k].texts.table, row, slot).empty());
        EXPECT_TRUE(Text(set.careers[k].texts.table, 0, 4).empty());  // Italian is not given
        // Requirements never drop from one level to the next, and the top pays best.
        for (std::size_t level = 1; level < 10; ++level)
            for (std::size_t value = 0; value <= 6; ++value)
                EXPECT_GE(set.careers[k].track.levels[level].values[value], set.careers[k].track.levels[level - 1].values[value]);
        EXPECT_GT(set.careers[k].track.levels[9].values[17], set.careers[k].track.levels[0].values[17]);
        // The job-name table is there for every career.
        ChunkHandle jobNames = 0;
        EXPECT_TRUE(context.careersIFF.FindChunk(jobNames, TypeSTR, static_cast<std::uint16_t>(set.careers[k].id + 1000)));
    }

    // Texts are the code page's bytes: Windows-1252 in the European slots, Shift_JIS in Japanese.
    EXPECT_EQ(Text(set.careers[3].texts.table, 23, 2), "Boulang\xE8re stagiaire");
    EXPECT_EQ(Text(set.careers[8].texts.table, 3, 3), "Lokf\xFChrer (Praktikant)");
    EXPECT_EQ(Text(set.careers[9].texts.table, 0, 5), "Monta\xF1ismo");
    EXPECT_EQ(Text(set.careers[0].texts.table, 0, 9), "\x97{\x96I");  // 養蜂

    // Most levels have a card; each card has exactly one sound and at least one effect.
    std::size_t withItems = 0;
    std::set<std::uint16_t> rows;
    for (const Career& career : set.careers)
    for (const ChanceCard& card : career.cards) {
        if (card.items.empty()) continue;
        ++withItems;
        EXPECT_GE(card.items.size(), 2u);
        EXPECT_EQ(std::count_if(card.items.begin(), card.items.end(), [](const CardItem& i) { return i.kind == 4; }), 1);
        ASSERT_NE(card.textRow, 0);
        EXPECT_FALSE(set.cardTexts.Get(card.textRow, 0).value_or("").empty());
        EXPECT_FALSE(set.cardTexts.IsFree(card.textRow));
        rows.insert(card.textRow);
    }
    EXPECT_GE(withItems, 70u);
    EXPECT_EQ(rows.size(), withItems);

    // One distinct icon per career, in both strips.
    ASSERT_EQ(context.iconStrips.ButtonIconCount(), 11u);
    ASSERT_EQ(context.iconStrips.PopupIconCount(), 11u);
    std::set<std::vector<std::uint32_t>> buttons;
    std::set<std::vector<std::uint32_t>> popups;
    for (std::uint16_t id : test::CareerIds(set)) {
        Bitmap icon;
        ASSERT_TRUE(context.iconStrips.GetButtonIcon(id, icon));
        buttons.insert(icon.pixels);
        ASSERT_TRUE(context.iconStrips.GetPopupIcon(id, icon));
        popups.insert(icon.pixels);
    }
    EXPECT_EQ(buttons.size(), 10u);
    EXPECT_EQ(popups.size(), 10u);
    EXPECT_FALSE(context.iconStrips.ButtonStrip().palette.Empty());
}

TEST(SampleInstallationTest, SavingUnchangedChangesNothing) {
    GameFolder folder;
    GameContext first;
    test::TakeForWriting(first, folder);
    ScriptedPort port;
    ASSERT_EQ(RunLoad(first, port), 1);
    // The careers container as its archive holds it.
    const auto careers = first.careersIFF.AttachedFile()->ReadAll();
    const auto cards = folder.Read("GameData/Objects/CarPortal.iff");
    ASSERT_TRUE(SaveGameFiles(first, port));
    // The containers come back byte for byte; the strips turn from 8 to 24 bits per pixel.
    EXPECT_EQ(folder.Read("ExpansionShared/Work.iff"), careers);
    EXPECT_EQ(folder.Read("GameData/Objects/CarPortal.iff"), cards);

    // The first load holds the game files against a second writer (enforced on Windows).
    first.CloseBitmapFiles();
    first.careersIFF.CloseFile();
    first.chanceCardsIFF.CloseFile();
    GameContext second;
    PointAt(second, folder);
    ASSERT_EQ(RunLoad(second, port), 1);
    EXPECT_TRUE(port.calls.empty());
    ExpectSameModel(first, second);
}

TEST(SampleInstallationTest, CopiesScaleTheCareersAndStillLoad) {
    GameFolder folder(false);
    ASSERT_TRUE(WriteSampleInstallation(folder.root, 3));
    GameContext context;
    PointAt(context, folder);
    ScriptedPort port;
    ASSERT_EQ(RunLoad(context, port), 1);
    EXPECT_TRUE(port.calls.empty());
    ASSERT_EQ(context.careerSet.Count(), 30u);
    EXPECT_EQ(context.careerSet.careers[10].track.name, "Beekeeping 2");
    EXPECT_EQ(context.iconStrips.PopupIconCount(), 31u);
}

TEST(SampleInstallationTest, UnwritableTargetIsReported) {
    GameFolder folder(false);
    folder.Write("blocked", {'x'});
    const Status refused = WriteSampleInstallation(folder.At("blocked"));
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.Reason().empty());
}

}  // namespace
}  // namespace tw

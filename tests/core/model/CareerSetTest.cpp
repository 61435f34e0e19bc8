#include "model/CareerSet.h"
#include "support/CareerIds.h"

#include "core/model/ModelFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tw {
namespace {

using test::Group;
using test::IffBytes;
using test::LanguageTableBytes;
using test::OpenContainer;

std::vector<std::uint8_t> TrackBytes(const std::string& name, std::size_t levelCount = 10) {
    CareerTrack track;
    track.name = name;
    for (std::size_t l = 0; l < levelCount; ++l) {
        JobLevel level;
        level.values[17] = static_cast<std::int32_t>(100 * (l + 1));
        level.texts[0] = name + " job " + std::to_string(l);
        track.levels.push_back(level);
    }
    return test::Encoded(track);
}

// A career's texts: 33 rows of "<tag> <row>" in USEnglish and the given other slot.
std::vector<std::uint8_t> CareerTexts(const std::string& tag, std::uint8_t otherCode = 3) {
    Group english{1, {}};
    Group other{otherCode, {}};
    for (int row = 0; row < 33; ++row) {
        english.entries.emplace_back(tag + " " + std::to_string(row), "");
        other.entries.emplace_back(tag + " other " + std::to_string(row), "");
    }
    return LanguageTableBytes({english, other});
}

TEST(CareerSetTest, LoadCareersTakesPositiveIdsInAscendingOrder) {
    IffBytes file;
    file.Chunk(TypeCARR, 3, TrackBytes("Three"));
    file.Chunk(TypeCARR, 1, TrackBytes("One"));
    file.Chunk(TypeCARR, 0, TrackBytes("Zero"));
    file.Chunk(TypeCARR, 0x8001, TrackBytes("Negative"));
    file.Chunk(TypeCARR, 2, TrackBytes("Two"));
    for (std::uint16_t id = 1; id <= 3; ++id) file.Chunk(TypeSTR, id, CareerTexts("c" + std::to_string(id)));
    OpenContainer c(file.bytes);

    CareerSet set;
    ASSERT_TRUE(set.LoadCareers(c.iff));
    EXPECT_EQ(set.Count(), 3u);
    EXPECT_EQ(test::CareerIds(set), (std::vector<std::uint16_t>{1, 2, 3}));
    EXPECT_EQ(set.careers[0].track.name, "One");
    EXPECT_EQ(set.careers[2].track.name, "Three");
    EXPECT_EQ(set.careers[1].track.levels[9].texts[0], "Two job 9");
    std::string text;
    ASSERT_TRUE(set.careers[1].texts.table.GetText(32, 2, StringTable::Value, text));
    EXPECT_EQ(text, "c2 other 32");
    EXPECT_TRUE(test::NoCards(set));
}

// A career that cannot be loaded is left out and named, its chunks untouched; only a container in
// which no career loads fails.
TEST(CareerSetTest, CareersThatCannotBeLoadedAreLeftOutAndNamed) {
    std::vector<std::uint8_t> badTrack = TrackBytes("Bad");
    badTrack[8] = 'X';
    const struct {
        const char* what;
        std::vector<std::tuple<ResourceType, std::uint16_t, std::vector<std::uint8_t>>> chunks;
        std::vector<std::uint16_t> loaded;
        std::vector<std::uint16_t> leftOut;
        std::vector<std::pair<ResourceType, std::uint16_t>> named;
    } cases[] = {
        {"no careers", {{TypeSTR, 1, CareerTexts("a")}}, {}, {}, {}},
        {"only ids 0 and above 32767",
         {{TypeCARR, 0, TrackBytes("a")}, {TypeCARR, 40000, TrackBytes("b")}, {TypeSTR, 0, CareerTexts("a")}}, {}, {}, {}},
        {"career texts missing",
         {{TypeCARR, 1, TrackBytes("a")}, {TypeCARR, 2, TrackBytes("b")}, {TypeSTR, 1, CareerTexts("a")}},
         {1}, {2}, {{TypeCARR, 2}}},
        {"track unreadable", {{TypeCARR, 1, badTrack}, {TypeSTR, 1, CareerTexts("a")}}, {}, {1}, {{TypeCARR, 1}}},
        {"texts unreadable", {{TypeCARR, 1, TrackBytes("a")}, {TypeSTR, 1, {0xFD, 0xFF, 1, 0, 0}}}, {}, {1},
         {{TypeSTR, 1}}},
        {"job names unreadable",
         {{TypeCARR, 1, TrackBytes("a")}, {TypeSTR, 1, CareerTexts("a")}, {TypeCARR, 2, TrackBytes("b")},
          {TypeSTR, 2, CareerTexts("b")}, {TypeSTR, 1002, {0xFD, 0xFF, 1, 0, 0}}},
         {1}, {2}, {{TypeSTR, 1002}}},
    };
    for (const auto& c : cases) {
        IffBytes file;
        for (const auto& [type, id, data] : c.chunks) file.Chunk(type, id, data);
        OpenContainer container(file.bytes);
        CareerSet set;
        const Status loaded = set.LoadCareers(container.iff);
        EXPECT_EQ(loaded.Ok(), !c.loaded.empty()) << c.what;
        // A container that gives no career says why: it has none, or which of its careers failed.
        if (!loaded) {
            EXPECT_NE(loaded.Reason().find("career"), std::string::npos) << c.what << ": " << loaded.Reason();
        }
        EXPECT_EQ(test::CareerIds(set), c.loaded) << c.what;
        EXPECT_EQ(set.leftOut, c.leftOut) << c.what;
        std::vector<std::pair<ResourceType, std::uint16_t>> named;
        for (const ChunkProblem& problem : container.iff.Problems()) {
            named.emplace_back(problem.type, problem.id);
            EXPECT_TRUE(problem.keptBySave) << c.what;
        }
        EXPECT_EQ(named, c.named) << c.what;
    }
}

TEST(CareerSetTest, CareerWithMoreThanTenLevelsKeepsThemAll) {
    IffBytes file;
    file.Chunk(TypeCARR, 7, TrackBytes("Long", 12));
    file.Chunk(TypeSTR, 7, CareerTexts("l"));
    OpenContainer c(file.bytes);
    CareerSet set;
    ASSERT_TRUE(set.LoadCareers(c.iff));
    EXPECT_EQ(set.careers[0].track.levels.size(), 12u);
    EXPECT_EQ(set.careers[0].track.levels[11].values[17], 1200);
    // Levels from 10 up have no cards.
    EXPECT_EQ(set.careers[0].Card(10), nullptr);
}

TEST(CareerSetTest, LoadCareersReadsChunksNotReadYetAndMakesOneCareerPerId) {
    IffBytes file;
    file.Chunk(TypeCARR, 1, TrackBytes("One"));
    file.Chunk(TypeCARR, 2, TrackBytes("Two"));
    file.Chunk(TypeSTR, 1, CareerTexts("a"));
    file.Chunk(TypeSTR, 2, CareerTexts("b"));

    // Only one track's data read yet.
    OpenContainer partly(file.bytes, false);
    ChunkHandle first = 0;
    ASSERT_TRUE(partly.iff.FindChunk(first, TypeCARR, 1));
    ASSERT_TRUE(partly.iff.EnsureChunkLoaded(first));
    CareerSet set;
    ASSERT_TRUE(set.LoadCareers(partly.iff));
    EXPECT_EQ(set.careers.at(1).track.name, "Two");

    // Two chunks with one id: one career.
    OpenContainer twice(file.bytes);
    MemoryStream again(TrackBytes("Again"));
    ASSERT_TRUE(twice.iff.AddChunk(TypeCARR, 2, "", again));
    ASSERT_TRUE(set.LoadCareers(twice.iff));
    EXPECT_EQ(test::CareerIds(set), (std::vector<std::uint16_t>{1, 2}));
}

TEST(CareerSetTest, SaveCareersCreatesTheJobNameTableWhenMissing) {
    IffBytes file;
    file.Chunk(TypeCARR, 4, TrackBytes("Four"));
    file.Chunk(TypeSTR, 4, CareerTexts("f"));
    OpenContainer c(file.bytes);
    CareerSet set;
    ASSERT_TRUE(set.LoadCareers(c.iff));
    set.careers[0].track.name = "Renamed";
    set.careers[0].texts.table.SetText(3, 0, StringTable::Value, "Boss");
    ASSERT_TRUE(set.SaveCareers(c.iff));

    OpenContainer saved(c.file.Copy());
    CareerTrack track;
    ASSERT_TRUE(track.LoadFromIFF(saved.iff, saved.Handle(TypeCARR, 4)));
    EXPECT_EQ(track.name, "Renamed");
    const std::vector<std::uint8_t> careerTexts = saved.Data(TypeSTR, 4);
    EXPECT_EQ(saved.Data(TypeSTR, 1004), careerTexts);
    EXPECT_EQ(saved.store.Resolve(saved.Handle(TypeSTR, 1004))->label, "Strings");
    StringTable names;
    ASSERT_TRUE(names.LoadFromIFF(saved.iff, saved.Handle(TypeSTR, 1004)));
    std::string text;
    ASSERT_TRUE(names.GetText(3, 0, StringTable::Value, text));
    EXPECT_EQ(text, "Boss");
}

TEST(CareerSetTest, SaveCareersRefreshesOnlyTheJobNamesOfAnExistingTable) {
    IffBytes file;
    file.Chunk(TypeCARR, 4, TrackBytes("Four"));
    file.Chunk(TypeSTR, 4, CareerTexts("career", 2));
    // The job-name table: 34 rows with comments in USEnglish and French.
    Group english{1, {}};
    Group french{3, {}};
    for (int row = 0; row < 34; ++row) {
        english.entries.emplace_back("old " + std::to_string(row), "note " + std::to_string(row));
        french.entries.emplace_back("vieux " + std::to_string(row), "");
    }
    file.Chunk(TypeSTR, 1004, LanguageTableBytes({english, french}), "Job names");
    OpenContainer c(file.bytes);
    StringTable before;
    ASSERT_TRUE(before.LoadFromIFF(c.iff, c.Handle(TypeSTR, 1004)));
    CareerSet set;
    ASSERT_TRUE(set.LoadCareers(c.iff));
    ASSERT_TRUE(set.SaveCareers(c.iff));

    OpenContainer saved(c.file.Copy());
    StringTable after;
    ASSERT_TRUE(after.LoadFromIFF(saved.iff, saved.Handle(TypeSTR, 1004)));
    EXPECT_EQ(saved.store.Resolve(saved.Handle(TypeSTR, 1004))->label, "Job names");
    ASSERT_EQ(after.RowCount(), 34u);
    auto isJobName = [](std::uint16_t row) { return (row >= 3 && row <= 21 && row % 2 == 1) || (row >= 23 && row <= 32); };
    for (std::uint16_t row = 0; row < 34; ++row) {
        for (std::uint16_t slot = 0; slot < 16; ++slot) {
            std::string value, comment, expected, expectedComment;
            after.GetText(row, slot, StringTable::Value, value);
            after.GetText(row, slot, StringTable::Comment, comment);
            before.GetText(row, slot, StringTable::Comment, expectedComment);
            if (isJobName(row)) {
                set.careers[0].texts.table.GetText(row, slot, StringTable::Value, expected);
            } else {
                before.GetText(row, slot, StringTable::Value, expected);
            }
            EXPECT_EQ(value, expected) << row << "/" << slot;
            EXPECT_EQ(comment, expectedComment) << row << "/" << slot;
        }
    }
}

TEST(CareerSetTest, SaveCareersStopsWhenAResourceIsGone) {
    IffBytes file;
    file.Chunk(TypeCARR, 4, TrackBytes("Four"));
    file.Chunk(TypeSTR, 4, CareerTexts("f"));
    const std::vector<std::uint8_t> original = file.bytes;
    OpenContainer c(file.bytes);
    CareerSet set;
    ASSERT_TRUE(set.LoadCareers(c.iff));
    c.iff.DeleteChunk(TypeSTR, 4);
    EXPECT_FALSE(set.SaveCareers(c.iff));
    EXPECT_EQ(c.file.Copy(), original);

    CareerSet empty;
    EXPECT_FALSE(empty.SaveCareers(c.iff));
    EXPECT_EQ(c.file.Copy(), original);
}

TEST(CareerSetTest, CopyTextsToAllLanguagesFillsTheMenuSlots) {
    tw::CareerTexts texts;
    StringTable& table = texts.table;
    for (std::uint16_t row = 0; row < 33; ++row) table.SetText(row, 2, StringTable::Value, "fr" + std::to_string(row));
    table.SetText(5, 2, StringTable::Comment, "kept apart");
    table.SetText(5, 15, StringTable::Value, "slot 15");
    texts.CopyToAllLanguages(2);
    for (std::uint16_t slot = 0; slot < 15; ++slot) {
        std::string text;
        table.GetText(32, slot, StringTable::Value, text);
        EXPECT_EQ(text, "fr32") << slot;
        table.GetText(5, slot, StringTable::Comment, text);
        EXPECT_EQ(text, slot == 2 ? "kept apart" : "") << slot;
    }
    std::string last;
    table.GetText(5, 15, StringTable::Value, last);
    EXPECT_EQ(last, "slot 15");
}

}  // namespace
}  // namespace tw

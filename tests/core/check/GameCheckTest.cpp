// What `check` finds, one installation per rule and per kind of difference: each finding with its
// place and kind, and nothing else.
#include "check/GameCheck.h"

#include "check/SaveDifferences.h"

#include "edit/GameSave.h"
#include "gamefiles/GameFileLookup.h"
#include "icons/BitmapFile.h"
#include "support/ScriptedPort.h"
#include "util/MemoryStream.h"

#include "../gamefiles/GameFolderFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tw {

// Findings print as a line each in failures.
void PrintTo(const Finding& f, std::ostream* out) {
    *out << KindName(f.kind) << "/" << SeverityName(f.severity) << " " << f.file << " " << f.type << " "
         << (f.id ? std::to_string(*f.id) : "-") << " career " << (f.career ? std::to_string(*f.career) : "-")
         << " level " << (f.level ? std::to_string(*f.level) : "-") << " [" << f.field << "] " << f.rule << " "
         << f.message;
}

namespace {

using test::GameFolder;
using Bytes = std::vector<std::uint8_t>;
using Kind = Finding::Kind;
using Severity = Finding::Severity;
using Text = CareerTexts::Text;

constexpr const char* Work = "ExpansionShared/Work.iff";
constexpr const char* Buttons = "UIGraphics/cpanel/Buttons/JobIconMultiButton.BMP";
constexpr const char* Popup = "UIGraphics/cpanel/Backgrounds/JobIconMultiPopup.BMP";
constexpr std::size_t Friends = 0, Body = 4, Hunger = 10, Salary = 17, Begin = 18, End = 19, CarPool = 20;

// A finding without its words: what the table names.
Finding Place(Kind kind, Severity severity, std::string file, std::string type, std::optional<std::uint16_t> id,
              std::optional<std::uint16_t> career = {}, std::optional<std::uint32_t> level = {}, std::string field = {},
              std::string rule = {}) {
    return Finding{kind,   severity, std::move(file),  std::move(type), id, {},
                   career, level,    std::move(field), std::move(rule), {}};
}
Finding Rule(const char* rule, std::uint16_t career, std::optional<std::uint32_t> level, std::string field,
             Severity severity = Severity::Problem) {
    return Place(Kind::Rule, severity, {}, {}, {}, career, level, std::move(field), rule);
}

void Load(GameContext& context, const GameFolder& folder) {
    test::PointAt(context, folder);
    ASSERT_TRUE(context.TakeInstallation(Installation::Intent::Write));
    test::ScriptedPort port;
    ASSERT_EQ(RunLoad(context, port), LoadRequest::Loaded);
}

// The careers container as a load finds it: the sample keeps it in an archive; written loose, the
// load takes it from there.
Bytes WorkBytes(const GameFolder& folder) {
    test::ScriptedPort port;
    GameFileSource source;
    Expected<std::unique_ptr<Stream>> file =
        OpenGameStream(folder.At("ExpansionShared"), "Work.iff", port, false, source);
    EXPECT_TRUE(file) << file.Reason();
    return file ? (*file)->ReadAll() : Bytes{};
}

// Where a chunk's data begin in container bytes.
std::size_t DataAt(const Bytes& file, ResourceType type, std::uint16_t id) {
    ChunkStore store;
    IFFFile container(store);
    container.AttachFile(MemoryStream(file));
    EXPECT_TRUE(container.OpenIFFFile());
    ChunkHandle handle = 0;
    EXPECT_TRUE(container.FindChunk(handle, type, id));
    const ChunkRecord* record = store.Resolve(handle);
    return record != nullptr ? record->dataOffset : 0;
}

// Replaces a chunk's data in container bytes with `data` of the same size.
void Overwrite(Bytes& file, ResourceType type, std::uint16_t id, const Bytes& data) {
    std::copy(data.begin(), data.end(), file.begin() + static_cast<std::ptrdiff_t>(DataAt(file, type, id)));
}

struct Installation {
    const char* name;
    // The sample as written (false: as a save with `edit` wrote it).
    bool asShipped;
    std::function<void(GameContext&)> edit;
    std::function<void(const GameFolder&)> damage;  // done to the files afterwards
    std::vector<Finding> expected;
};

class GameCheckTest : public ::testing::TestWithParam<Installation> {};

TEST_P(GameCheckTest, FindsEachThingAtItsPlace) {
    const Installation& installation = GetParam();
    GameFolder folder;
    if (!installation.asShipped) {
        GameContext context;
        Load(context, folder);
        if (installation.edit) installation.edit(context);
        test::ScriptedPort port;
        ASSERT_TRUE(SaveGameFiles(context, port)) << testing::PrintToString(port.Shown());
    }
    if (installation.damage) installation.damage(folder);
    const std::vector<std::string> files = folder.Files();
    const test::SavedBytes before = test::Snapshot(folder);

    GameContext context;
    Load(context, folder);
    std::vector<Finding> found = CheckGame(context);
    for (Finding& finding : found) {
        EXPECT_FALSE(finding.message.empty());
        finding.message.clear();
        finding.label.clear();
    }
    EXPECT_EQ(found, installation.expected);
    // A check writes nothing.
    EXPECT_EQ(folder.Files(), files);
    EXPECT_EQ(test::Snapshot(folder), before);
}

const Installation Installations[] = {
    // Clean: what counts is nothing; the shipped strips are 8-bit pictures a save makes 24-bit.
    {"the sample as shipped",
     true,
     nullptr,
     nullptr,
     {Place(Kind::Form, Severity::Note, Buttons, "BMP", {}), Place(Kind::Form, Severity::Note, Popup, "BMP", {})}},
    {"the sample once saved", false, nullptr, nullptr, {}},
    {"a night shift",
     false,
     [](GameContext& c) {
         c.careerSet.careers[0].track.levels[0].values[Begin] = 22;
         c.careerSet.careers[0].track.levels[0].values[End] = 6;
     },
     nullptr,
     {}},
    {"a salary that falls",
     false,
     [](GameContext& c) { c.careerSet.careers[0].track.levels[3].values[Salary] = 150; },
     nullptr,
     {Rule("salary-falls", 1, 3, "salary")}},
    {"a skill below the level below",
     false,
     [](GameContext& c) { c.careerSet.careers[0].track.levels[2].values[Body] = 50; },
     nullptr,
     {Rule("skill-below-level-below", 1, 2, "body")}},
    {"friends below the level below",
     false,
     [](GameContext& c) { c.careerSet.careers[0].track.levels[5].values[Friends] = 1; },
     nullptr,
     {Rule("friends-below-level-below", 1, 5, "friends")}},
    {"a working day of zero hours",
     false,
     [](GameContext& c) { c.careerSet.careers[0].track.levels[4].values[End] = 7; },
     nullptr,
     {Rule("zero-hours", 1, 4, "hours")}},
    {"a job name empty in every language",
     false,
     [](GameContext& c) {
         for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
             c.careerSet.careers[2].texts.Set(Text::MaleJobName, 6, slot, "");
     },
     nullptr,
     {Rule("missing-job-name", 3, 6, "male job name")}},
    {"a job name missing in French only",
     false,
     [](GameContext& c) { c.careerSet.careers[0].texts.Set(Text::FemaleJobName, 3, 2, ""); },
     nullptr,
     {Rule("texts-missing-in-language", 1, 3, "French female job name")}},
    {"a card with effects and no text",
     false,
     [](GameContext& c) {
         for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
             c.careerSet.cardTexts.Set(c.careerSet.careers[0].cards[2].textRow, slot, "");
     },
     nullptr,
     {Rule("empty-card-text", 1, 2, "card text")}},
    {"a mood out of range",
     false,
     [](GameContext& c) { c.careerSet.careers[4].track.levels[9].values[Hunger] = 150; },
     nullptr,
     {Rule("value-out-of-range", 5, 9, "hunger")}},
    {"a skill below zero at the first level",
     false,
     [](GameContext& c) { c.careerSet.careers[0].track.levels[0].values[1] = -5; },
     nullptr,
     {Rule("value-out-of-range", 1, 0, "cooking")}},
    {"a car pool of 10",
     false,
     [](GameContext& c) { c.careerSet.careers[0].track.levels[7].values[CarPool] = 10; },
     nullptr,
     {Rule("car-pool-unlisted", 1, 7, "car pool", Severity::Note)}},
    {"a button strip without the last career's icon",
     false,
     nullptr,
     [](const GameFolder& folder) {
         MemoryStream strip;
         ASSERT_TRUE(WriteBitmapFile(strip, Bitmap(112, 10 * IconStrips::ButtonIconHeight)));
         folder.Write(Buttons, strip.Copy());
     },
     {Rule("no-icon", 10, std::nullopt, "icon")}},
    // The game ignores byte 12 of a career track; a save writes it as 1.
    {"a career track in a form the save normalizes",
     false,
     nullptr,
     [](const GameFolder& folder) {
         Bytes work = WorkBytes(folder);
         work[DataAt(work, TypeCARR, 4) + 12] = 7;
         folder.Write(Work, work);
     },
     {Place(Kind::Form, Severity::Note, Work, "CARR", 4)}},
    // The game's second table of job names disagrees with the career's texts: every save rewrites
    // it from them, which loses nothing of the career.
    {"job names a save would rewrite",
     false,
     nullptr,
     [](const GameFolder& folder) {
         Bytes work = WorkBytes(folder);
         StringTable names;
         ChunkStore store;
         IFFFile container(store);
         container.AttachFile(MemoryStream(work));
         ASSERT_TRUE(container.OpenIFFFile());
         ChunkHandle handle = 0;
         ASSERT_TRUE(container.FindChunk(handle, TypeSTR, 1006));
         ASSERT_TRUE(names.LoadFromIFF(container, handle));
         std::string name;
         ASSERT_TRUE(names.GetText(3, 0, StringTable::Value, name));
         name[0] = name[0] == 'X' ? 'Y' : 'X';  // same length, so the bytes fit where they were
         ASSERT_TRUE(names.SetText(3, 0, StringTable::Value, name));
         Bytes data;
         ASSERT_TRUE(names.Encode(data));
         Overwrite(work, TypeSTR, 1006, data);
         folder.Write(Work, work);
     },
     {Place(Kind::Form, Severity::Note, Work, "STR#", 1006)}},
    {"a damaged chunk",
     false,
     nullptr,
     [](const GameFolder& folder) {
         Bytes work = WorkBytes(folder);
         work[DataAt(work, TypeCARR, 2) + 8] = 'X';  // "RRAC" no more
         folder.Write(Work, work);
     },
     {Place(Kind::Damaged, Severity::Problem, Work, "CARR", 2)}},
    {"chance cards that are no container",
     false,
     nullptr,
     [](const GameFolder& folder) { folder.Write("GameData/Objects/CarPortal.iff", Bytes(100, 0x20)); },
     {Place(Kind::Damaged, Severity::Problem, "GameData/Objects/CarPortal.iff", {}, {})}},
};

INSTANTIATE_TEST_SUITE_P(Installations, GameCheckTest, ::testing::ValuesIn(Installations),
                         [](const testing::TestParamInfo<Installation>& instance) {
                             std::string name;
                             for (char c : std::string(instance.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// The editor checks the model with its unsaved edits: what a save of it would not keep of a card.
TEST(SaveDifferencesTest, CardsASaveCannotKeepAsTheyAre) {
    const struct {
        const char* name;
        std::function<void(Career&)> edit;
        Kind kind;
        std::uint32_t level;
    } cases[] = {
        // A card without effects is not written: its text row is given up.
        {"a text row without effects",
         [](Career& c) {
             c.cards[5] = ChanceCard{c.cards[5].textRow, {}};
         },
         Kind::Loss, 5},
        // The code runs the sound first, so the effects come back in that order.
        {"the sound after the money",
         [](Career& c) { std::rotate(c.cards[0].items.begin(), c.cards[0].items.begin() + 1, c.cards[0].items.end()); },
         Kind::Form, 0},
    };
    for (const auto& c : cases) {
        GameFolder folder;
        GameContext context;
        Load(context, folder);
        c.edit(context.careerSet.careers[0]);
        std::vector<Finding> found;
        for (Finding& finding : SaveDifferences(context)) {
            if (finding.type == "BMP") continue;  // the shipped strips, found by the table above
            finding.message.clear();
            found.push_back(finding);
        }
        const Severity severity = c.kind == Kind::Form ? Severity::Note : Severity::Problem;
        EXPECT_EQ(found, std::vector<Finding>{Place(c.kind, severity, "GameData/Objects/CarPortal.iff", {}, {}, 1,
                                                    c.level, "chance card")})
            << c.name;
    }
}

// What counts against a game: losses, damage and problems; forms and notes are only listed.
TEST(FindingTest, OnlyLossDamageAndProblemsCount) {
    const struct {
        Kind kind;
        Severity severity;
        bool counts;
    } cases[] = {{Kind::Form, Severity::Note, false},
                 {Kind::Loss, Severity::Problem, true},
                 {Kind::Damaged, Severity::Problem, true},
                 {Kind::Rule, Severity::Problem, true},
                 {Kind::Rule, Severity::Note, false}};
    for (const auto& c : cases) {
        Finding finding;
        finding.kind = c.kind;
        finding.severity = c.severity;
        EXPECT_EQ(CountsAgainst(finding), c.counts) << KindName(c.kind) << " " << SeverityName(c.severity);
        EXPECT_EQ(AnyLoss({finding}), c.kind == Kind::Loss);
    }
}

}  // namespace
}  // namespace tw

// Career > Level Table without a window: cells read as Job details reads its fields, the marks of
// falling values, and whole levels copied and pasted, into the session as one step.
#include "edit/LevelTable.h"

#include "edit/EditSession.h"
#include "support/ScriptedPort.h"

#include "../gamefiles/GameFolderFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tw {
namespace {

constexpr std::size_t Col(LevelColumn column) { return static_cast<std::size_t>(column); }

// A level with the requirements `friends` and `skill` (all six skills), valid above a level with
// lower ones.
JobLevel Level(std::int32_t friends, std::int32_t skill, std::int32_t salary, const char* name) {
    JobLevel job;
    job.values[0] = friends;
    for (std::size_t v = 1; v <= JobLevel::LastSkill; ++v) job.values[v] = skill;
    job.values[7] = 123456;
    job.values[9] = -7;
    job.values[10] = -30;
    job.values[JobLevel::Salary] = salary;
    job.values[JobLevel::BeginHour] = 9;
    job.values[JobLevel::EndHour] = 17;
    job.values[JobLevel::CarPool] = 2;
    job.texts = {name, "skin\x81m", "skinf", "tex", "acc"};
    return job;
}

CareerTrack FourLevels() {
    CareerTrack track;
    track.levels = {Level(0, 0, 100, "Intern"), Level(1, 100, 200, "Clerk"), Level(2, 200, 300, "Chef"),
                    Level(3, 300, 400, "Boss")};
    return track;
}

// The cells of `job` as they show.
std::vector<std::string> Cells(const JobLevel& job) {
    std::vector<std::string> cells;
    for (std::size_t column = 0; column < LevelColumnCount; ++column) cells.push_back(LevelCellText(job, column));
    return cells;
}

std::string Joined(const std::vector<std::string>& cells, const char* lineEnd = "\n") {
    std::string line;
    for (const std::string& cell : cells) line += (line.empty() ? "" : "\t") + cell;
    return line + lineEnd;
}

TEST(LevelTableTest, CellsAreReadWithJobDetailsChecksAndMessages) {
    const Requirements below = {2, 300, 300, 300, 300, 300, 300};
    JobLevel held = Level(2, 300, 500, "Chef");
    held.values[JobLevel::CarPool] = 10;  // the list does not name it

    const struct {
        LevelColumn column;
        const char* text;
        std::size_t changed;  // the value (or, for a text column, the text) that the reading changes
        std::int32_t value;
        const char* message;  // when refused
    } cases[] = {
        {LevelColumn::Cooking, "1000", 1, 1000, ""},
        {LevelColumn::Cooking, "299", 0, 0, "Please enter an integer between 300 and 1000."},
        {LevelColumn::Creativity, "1001", 0, 0, "Please enter an integer between 300 and 1000."},
        {LevelColumn::Cooking, "3OO", 0, 0, "Please enter an integer."},
        {LevelColumn::Friends, "25", 0, 25, ""},
        {LevelColumn::Friends, "1", 0, 0, "Please enter an integer between 2 and 25."},
        {LevelColumn::Friends, "-2", 0, 0, "Please enter a positive integer."},
        {LevelColumn::Salary, "2147483647", JobLevel::Salary, 2147483647, ""},
        {LevelColumn::Salary, "-1", 0, 0, "Please enter a positive integer."},
        {LevelColumn::Hunger, "-", 10, 0, ""},
        {LevelColumn::Social, "-100", 16, -100, ""},
        {LevelColumn::Comfort, "101", 0, 0, "Please enter an integer between -100 and 100."},
        {LevelColumn::Endtime, "24", 0, 0, "Please enter an integer between 0 and 23."},
        {LevelColumn::Begintime, "-", 0, 0, "Please enter an integer."},
        {LevelColumn::CarPool, " limo ", JobLevel::CarPool, 8, ""},
        {LevelColumn::CarPool, "3", JobLevel::CarPool, 3, ""},
        {LevelColumn::CarPool, "10", JobLevel::CarPool, 10, ""},
        {LevelColumn::CarPool, "11", 0, 0, "Please enter an integer between 0 and 8."},
        {LevelColumn::CarPool, "Bus", 0, 0, "Please enter a car pool that the list names, or its number."},
        {LevelColumn::Texture, "Łódź", 0, 0, "Internal names cannot hold \"Łź\"."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(LevelColumnName(Col(c.column))) + " \"" + c.text + "\"");
        const LevelReading reading = ReadLevelCell(held, Col(c.column), c.text, below);
        if (*c.message != '\0') {
            EXPECT_FALSE(reading.job);
            EXPECT_EQ(reading.message, c.message);
            continue;
        }
        ASSERT_TRUE(reading.job) << reading.message;
        JobLevel expected = held;
        expected.values[c.changed] = c.value;
        EXPECT_EQ(*reading.job, expected);
    }

    const LevelReading renamed = ReadLevelCell(held, Col(LevelColumn::InternalName), "Café", below);
    ASSERT_TRUE(renamed.job);
    EXPECT_EQ(renamed.job->texts[0], "Caf\xE9");
}

TEST(LevelTableTest, EveryCellReadsBackWhatItShowsAndCopiedLevelsPasteBackExactly) {
    CareerTrack track = FourLevels();
    track.levels[1].values[JobLevel::CarPool] = 11;
    track.levels[2].values[JobLevel::Salary] = 2000000000;
    track.levels[2].texts[1] = "tabbed\tand \"quoted\"";
    track.levels[3].texts[4] = "\x81\x8D";  // bytes that form no character

    for (std::size_t level = 0; level < track.levels.size(); ++level) {
        const Requirements below = RequirementsBelow(track, level);
        for (std::size_t column = 0; column < LevelColumnCount; ++column) {
            const LevelReading reading =
                ReadLevelCell(track.levels[level], column, LevelCellText(track.levels[level], column), below);
            ASSERT_TRUE(reading.job) << level << " " << LevelColumnName(column) << ": " << reading.message;
            EXPECT_EQ(*reading.job, track.levels[level]) << level << " " << LevelColumnName(column);
        }
    }

    // The values 7 to 9 are not shown: pasted levels keep those of the levels they replace.
    CareerTrack target = track;
    for (JobLevel& job : target.levels) job.values[8] = 99;
    const LevelPaste paste = ReadPastedLevels(target, 0, CopyLevels(track, {0, 1, 2, 3}));
    ASSERT_EQ(paste.message, "");
    ASSERT_EQ(paste.levels.size(), 4u);
    for (std::size_t level = 0; level < paste.levels.size(); ++level) {
        JobLevel expected = track.levels[level];
        expected.values[8] = 99;
        EXPECT_EQ(paste.levels[level], expected) << level;
    }
}

TEST(LevelTableTest, APasteIsReadWholeAgainstTheLevelsBelowItWillHave) {
    const CareerTrack track = FourLevels();
    std::vector<std::string> chef = Cells(track.levels[2]);
    chef[Col(LevelColumn::InternalName)] = "\"Chef \"\"Big\"\"\"";
    chef[Col(LevelColumn::Cooking)] = "500";
    chef[Col(LevelColumn::Logic)] = "300";
    chef[Col(LevelColumn::CarPool)] = "junky";
    std::vector<std::string> clerk = Cells(track.levels[1]);
    clerk[Col(LevelColumn::Logic)] = "250";
    std::vector<std::string> badSalary = clerk;
    badSalary[Col(LevelColumn::Salary)] = "12k";

    const struct {
        const char* name;
        std::size_t first;
        std::string text;
        std::string message;
    } cases[] = {
        {"spreadsheet line", 2, Joined(chef, "\r\n") + "\r\n", ""},
        {"two levels", 1, Joined(clerk) + Joined(chef), ""},
        {"pasted level below its pasted level below", 1, Joined(clerk) + Joined(Cells(track.levels[2])),
         "Level 2, Logic: Please enter an integer between 250 and 1000."},
        {"below the level under the paste", 2, Joined(Cells(track.levels[0])),
         "Level 2, Friends: Please enter an integer between 1 and 25."},
        {"bad number on the second line", 1, Joined(clerk) + Joined(badSalary),
         "Level 2, Salary: Please enter a positive integer."},
        {"wrong column count", 1, "Clerk\tskin\t3\n", "Level 1: 3 cells pasted where a level has 23."},
        {"past the last level", 3, Joined(chef) + Joined(chef),
         "2 levels pasted from level 3 would go past the career's last level, 3."},
        {"nothing", 0, "\r\n", "There are no levels to paste."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LevelPaste paste = ReadPastedLevels(track, c.first, c.text);
        EXPECT_EQ(paste.message, c.message);
        if (!c.message.empty()) {
            EXPECT_TRUE(paste.levels.empty());
            continue;
        }
        ASSERT_FALSE(paste.levels.empty());
        const JobLevel& pastedChef = paste.levels.back();
        EXPECT_EQ(pastedChef.texts[0], "Chef \"Big\"");
        EXPECT_EQ(pastedChef.values[1], 500);
        EXPECT_EQ(pastedChef.values[JobLevel::CarPool], 7);
        EXPECT_EQ(pastedChef.texts[1], track.levels[2].texts[1]);  // its bytes, though shown otherwise
    }
}

TEST(LevelTableTest, OnlyFriendsSkillsAndSalaryBelowTheLevelBelowAreMarked) {
    CareerTrack track = FourLevels();
    track.levels[2].values[5] = 1;                     // logic, the level below needs 100
    track.levels[2].values[JobLevel::Salary] = 150;
    track.levels[2].values[10] = -100;                 // a mood, the hours and value 9 may fall
    track.levels[3].values[JobLevel::BeginHour] = 0;
    track.levels[3].values[9] = -100;

    std::set<std::pair<std::size_t, std::size_t>> marked;
    for (std::size_t level = 0; level <= track.levels.size(); ++level)
        for (std::size_t column = 0; column <= LevelColumnCount; ++column)
            if (LevelCellFalls(track, level, column)) marked.insert({level, column});
    const std::set<std::pair<std::size_t, std::size_t>> expected = {
        {2, Col(LevelColumn::Logic)}, {2, Col(LevelColumn::Salary)}};
    EXPECT_EQ(marked, expected);
    EXPECT_EQ(LevelCellFalls(track, 2, Col(LevelColumn::Logic)), "Needs fewer logic points than the level below (100).");
    EXPECT_EQ(LevelCellFalls(track, 2, Col(LevelColumn::Salary)), "Pays less than the level below (200).");
    track.levels[2].values[0] = 0;
    EXPECT_EQ(LevelCellFalls(track, 2, Col(LevelColumn::Friends)), "Needs fewer friends than the level below (1).");
}

TEST(LevelTableTest, PastedLevelsAreOneStepThatUndoesEveryLevel) {
    test::GameFolder folder;
    EditSession session;
    test::ScriptedPort port;
    test::TakeForWriting(session.Context(), folder);
    ASSERT_EQ(session.Load([&](GameContext& c) { return RunLoad(c, port); }), LoadRequest::Loaded);
    const std::vector<JobLevel> before = session.Careers().careers[1].track.levels;
    ASSERT_GE(before.size(), 5u);

    std::vector<JobLevel> pasted(before.begin() + 2, before.begin() + 5);
    for (JobLevel& job : pasted) {
        job.values[JobLevel::Salary] += 1000;
        job.texts[0] += "+";
    }
    // Refused whole: levels past the last, an unknown career, levels as they are.
    EXPECT_FALSE(session.SetJobLevels(1, static_cast<std::uint32_t>(before.size() - 2), pasted));
    EXPECT_FALSE(session.SetJobLevels(static_cast<std::uint32_t>(session.Careers().Count()), 0, pasted));
    EXPECT_FALSE(session.SetJobLevels(1, 2, std::vector<JobLevel>(before.begin() + 2, before.begin() + 5)));
    EXPECT_FALSE(session.CanUndo());
    EXPECT_EQ(session.Careers().careers[1].track.levels, before);

    ASSERT_TRUE(session.SetJobLevels(1, 2, pasted));
    std::vector<JobLevel> after = before;
    std::copy(pasted.begin(), pasted.end(), after.begin() + 2);
    EXPECT_EQ(session.Careers().careers[1].track.levels, after);
    EXPECT_EQ(session.StepsDone(), 1u);
    EXPECT_EQ(session.UndoName(), "Paste Levels");
    EXPECT_TRUE(session.HasUnsavedChanges());

    const std::optional<EditPlace> undone = session.Undo();
    ASSERT_TRUE(undone);
    EXPECT_EQ(*undone, (EditPlace{1, 2, std::nullopt}));
    EXPECT_EQ(session.Careers().careers[1].track.levels, before);
    EXPECT_FALSE(session.HasUnsavedChanges());
    session.Redo();
    EXPECT_EQ(session.Careers().careers[1].track.levels, after);
}

}  // namespace
}  // namespace tw

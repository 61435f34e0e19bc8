#pragma once

#include "model/CareerTrack.h"
#include "model/JobLevel.h"
#include "model/JobLevelRules.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Career > Level Table: every job level of one career as a row, with a column for each field of
// Job details, in that dialog's order and under its names. A cell is read with the dialog's own
// checks and messages; texts are UTF-8 in and out, stored as internal names (Windows-1252).
enum class LevelColumn : std::size_t {
    InternalName, MaleSkin, FemaleSkin, Texture, Accessory,
    Friends, Cooking, Mechanical, Charisma, Body, Logic, Creativity,
    Hunger, Comfort, Hygiene, Bladder, Energy, Fun, Social,
    Salary, Begintime, Endtime, CarPool,
};
inline constexpr std::size_t LevelColumnCount = static_cast<std::size_t>(LevelColumn::CarPool) + 1;

// "Internal name", "Friends", "Car pool"; empty past the last column.
const char* LevelColumnName(std::size_t column);

// What a cell shows: a text decoded, a number as the dialog shows it (friends and salary
// unsigned), a car pool by its list name or, when the list does not name it, its number.
// Empty past the last column.
std::string LevelCellText(const JobLevel& job, std::size_t column);

// A level read from what a person typed, or the message that refuses it.
struct LevelReading {
    std::optional<JobLevel> job;
    std::string message;  // empty when job is set
};

// `job` with the cell in `column` read from `text`, checked as Job details checks it on OK
// against `below` (the requirements of the level below). A car pool is a list name (in any
// case) or a number the list names; the number the cell already holds stays even when the list
// does not name it. A text that nothing changed keeps its bytes. Refused: a number the dialog
// refuses (with its message), a text that internal names cannot hold, a car pool of neither
// kind, and a column past the last.
LevelReading ReadLevelCell(const JobLevel& job, std::size_t column, std::string_view text, const Requirements& below);

// Why the cell of `level` in `column` falls below the level below (friends, the six skills and
// the salary, as the check's rules see it), in a few words for a tooltip; none when it does not,
// for level 0 and for a level or column that does not exist.
std::optional<std::string> LevelCellFalls(const CareerTrack& track, std::size_t level, std::size_t column);

// The levels in `levels` (indexes into the track, in that order) as lines of tab-separated
// cells as they show, each line ending in "\n"; a cell holding a tab, a line break or a leading
// quote is quoted as spreadsheets quote it. Indexes past the last level are left out.
std::string CopyLevels(const CareerTrack& track, const std::vector<std::size_t>& levels);

// The levels that pasting `text` onto `firstLevel` and the levels after it would leave: lines of
// tab-separated cells, from this table or a spreadsheet (CRLF, a final line break and quoted
// cells are accepted). Each level is read cell by cell as ReadLevelCell reads it, over what the
// level holds now (values 7 to 9 stay), against the level below as it will be after the paste.
// Refused, with a message naming the level and column of the first fault: an empty text, a line
// without exactly one cell per column, more lines than levels from `firstLevel` on, any cell that
// ReadLevelCell refuses.
struct LevelPaste {
    std::vector<JobLevel> levels;
    std::string message;  // empty when the paste is good
};
LevelPaste ReadPastedLevels(const CareerTrack& track, std::size_t firstLevel, std::string_view text);

}  // namespace tw

#include "edit/LevelTable.h"

#include "edit/NumberReading.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"
#include "util/HostPath.h"

#include <utility>

namespace tw {
namespace {

enum class CellKind { Text, Number, CarPool };

struct Column {
    const char* name;
    CellKind kind;
    std::size_t index;  // into the level's texts for a text, into its values otherwise
    NumberKind number;
};

constexpr std::array<Column, LevelColumnCount> Columns = {{
    {"Internal name", CellKind::Text, 0, NumberKind::Signed},
    {"Male skin", CellKind::Text, 1, NumberKind::Signed},
    {"Female skin", CellKind::Text, 2, NumberKind::Signed},
    {"Texture", CellKind::Text, 3, NumberKind::Signed},
    {"Accessory", CellKind::Text, 4, NumberKind::Signed},
    {"Friends", CellKind::Number, 0, NumberKind::Unsigned},
    {"Cooking", CellKind::Number, 1, NumberKind::Signed},
    {"Mechanical", CellKind::Number, 2, NumberKind::Signed},
    {"Charisma", CellKind::Number, 3, NumberKind::Signed},
    {"Body", CellKind::Number, 4, NumberKind::Signed},
    {"Logic", CellKind::Number, 5, NumberKind::Signed},
    {"Creativity", CellKind::Number, 6, NumberKind::Signed},
    {"Hunger", CellKind::Number, 10, NumberKind::SignedOrMinus},
    {"Comfort", CellKind::Number, 11, NumberKind::SignedOrMinus},
    {"Hygiene", CellKind::Number, 12, NumberKind::SignedOrMinus},
    {"Bladder", CellKind::Number, 13, NumberKind::SignedOrMinus},
    {"Energy", CellKind::Number, 14, NumberKind::SignedOrMinus},
    {"Fun", CellKind::Number, 15, NumberKind::SignedOrMinus},
    {"Social", CellKind::Number, 16, NumberKind::SignedOrMinus},
    {"Salary", CellKind::Number, JobLevel::Salary, NumberKind::Unsigned},
    {"Begintime", CellKind::Number, JobLevel::BeginHour, NumberKind::Signed},
    {"Endtime", CellKind::Number, JobLevel::EndHour, NumberKind::Signed},
    {"Car pool", CellKind::CarPool, JobLevel::CarPool, NumberKind::Signed},
}};

constexpr CodePage InternalPage = CodePage::Windows1252;
constexpr const char* CarPoolMessage = "Please enter a car pool that the list names, or its number.";

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = LowerAscii(c);
    return lowered;
}

// Names the characters of `utf8` that internal names cannot hold, control characters by their
// code.
std::string UnheldMessage(std::string_view utf8) {
    std::string unheld;
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Char c = NextUtf8(utf8, at);
        if (c.codePoint && !CanEncode(*c.codePoint, InternalPage) && *c.codePoint < RawByteBase) {
            if (*c.codePoint < 0x20)
                unheld += CharacterName(*c.codePoint);
            else
                unheld += utf8.substr(at, c.size);
        }
        at += c.size;
    }
    if (unheld.empty()) return "Internal names cannot hold this text.";
    return "Internal names cannot hold \"" + unheld + "\".";
}

std::optional<std::int32_t> ReadCarPool(std::string_view text, std::int32_t held, const Requirements& below,
                                        std::string& message) {
    const std::string_view name = TrimBlanks(text);
    for (std::size_t i = 0; i < CarPoolNames.size(); ++i)
        if (EqualsIgnoringCase(name, CarPoolNames[i])) return static_cast<std::int32_t>(i);
    const std::optional<std::int32_t> number = ParseSignedDecimal(text);
    if (!number) {
        message = CarPoolMessage;
        return std::nullopt;
    }
    // A car pool the list does not name stays as the dialog keeps it; no other can be chosen.
    const ValueRange listed = *JobValueRange(JobLevel::CarPool, below);
    if (*number == held || (*number >= listed.minimum && *number <= listed.maximum)) return number;
    message = RangeMessage({listed.minimum, listed.maximum});
    return std::nullopt;
}

// A cell as spreadsheets write it: quoted when it holds a tab, a line break or a leading quote.
std::string Quoted(const std::string& cell) {
    if (cell.find_first_of("\t\r\n") == std::string::npos && (cell.empty() || cell.front() != '"')) return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

using Line = std::vector<std::string>;

// Tab-separated lines as this table and spreadsheets write them: CRLF or LF between lines, a
// quoted cell running to its closing quote (a doubled quote inside stands for one). Blank lines
// at the end are dropped.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    Line line;
    std::string cell;
    bool cellStart = true;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (cellStart && c == '"') {
            cellStart = false;
            for (++at; at < text.size(); ++at) {
                if (text[at] != '"') {
                    cell += text[at];
                } else if (at + 1 < text.size() && text[at + 1] == '"') {
                    cell += '"';
                    ++at;
                } else {
                    ++at;
                    break;
                }
            }
            continue;
        }
        ++at;
        if (c == '\r' && at < text.size() && text[at] == '\n') continue;
        if (c == '\t' || c == '\n') {
            line.push_back(std::move(cell));
            cell.clear();
            cellStart = true;
            if (c == '\n') lines.push_back(std::exchange(line, {}));
            continue;
        }
        cellStart = false;
        cell += c;
    }
    if (!cellStart || !line.empty()) {
        line.push_back(std::move(cell));
        lines.push_back(std::move(line));
    }
    while (!lines.empty() && lines.back().size() == 1 && lines.back()[0].empty()) lines.pop_back();
    return lines;
}

std::string Counted(std::size_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

}  // namespace

const char* LevelColumnName(std::size_t column) { return column < LevelColumnCount ? Columns[column].name : ""; }

std::string LevelCellText(const JobLevel& job, std::size_t column) {
    if (column >= LevelColumnCount) return {};
    const Column& shown = Columns[column];
    const std::int32_t value = shown.kind == CellKind::Text ? 0 : job.values[shown.index];
    switch (shown.kind) {
        case CellKind::Text: return DecodeToUtf8(job.texts[shown.index], InternalPage);
        case CellKind::Number:
            return shown.number == NumberKind::Unsigned ? std::to_string(static_cast<std::uint32_t>(value))
                                                        : std::to_string(value);
        case CellKind::CarPool:
            if (value >= 0 && static_cast<std::size_t>(value) < CarPoolNames.size())
                return CarPoolNames[static_cast<std::size_t>(value)];
            return std::to_string(value);
    }
    return {};
}

LevelReading ReadLevelCell(const JobLevel& job, std::size_t column, std::string_view text, const Requirements& below) {
    LevelReading reading;
    if (column >= LevelColumnCount) {
        reading.message = "The table has no column " + std::to_string(column) + ".";
        return reading;
    }
    const Column& read = Columns[column];
    JobLevel changed = job;
    if (read.kind == CellKind::Text) {
        std::optional<std::string> bytes = EncodeEdit(text, job.texts[read.index], InternalPage);
        if (!bytes) {
            reading.message = UnheldMessage(text);
            return reading;
        }
        changed.texts[read.index] = std::move(*bytes);
    } else if (read.kind == CellKind::CarPool) {
        const std::optional<std::int32_t> carPool = ReadCarPool(text, job.values[read.index], below, reading.message);
        if (!carPool) return reading;
        changed.values[read.index] = *carPool;
    } else {
        const std::optional<ValueRange> range = JobValueRange(read.index, below);
        const NumberReading number =
            ReadNumber(text, read.number, range ? std::optional<NumberRange>({range->minimum, range->maximum}) : std::nullopt);
        if (!number.value) {
            reading.message = number.message;
            return reading;
        }
        // Unsigned fields keep their 32 bits in the signed value.
        changed.values[read.index] = static_cast<std::int32_t>(static_cast<std::uint32_t>(*number.value));
    }
    reading.job = std::move(changed);
    return reading;
}

std::optional<std::string> LevelCellFalls(const CareerTrack& track, std::size_t level, std::size_t column) {
    if (level == 0 || level >= track.levels.size() || column >= LevelColumnCount) return std::nullopt;
    const Column& cell = Columns[column];
    const JobLevel& below = track.levels[level - 1];
    if (cell.kind != CellKind::Number || !FallsFromBelow(track.levels[level], below, cell.index)) return std::nullopt;
    const std::string was = " than the level below (" + LevelCellText(below, column) + ").";
    if (cell.index == JobLevel::Salary) return "Pays less" + was;
    if (cell.index == JobLevel::Friends) return "Needs fewer friends" + was;
    return "Needs fewer " + Lowered(cell.name) + " points" + was;
}

std::string CopyLevels(const CareerTrack& track, const std::vector<std::size_t>& levels) {
    std::string text;
    for (const std::size_t level : levels) {
        if (level >= track.levels.size()) continue;
        for (std::size_t column = 0; column < LevelColumnCount; ++column) {
            if (column > 0) text += '\t';
            text += Quoted(LevelCellText(track.levels[level], column));
        }
        text += '\n';
    }
    return text;
}

LevelPaste ReadPastedLevels(const CareerTrack& track, std::size_t firstLevel, std::string_view text) {
    LevelPaste paste;
    const std::vector<Line> lines = SplitLines(text);
    const std::size_t levelCount = track.levels.size();
    if (lines.empty()) {
        paste.message = "There are no levels to paste.";
        return paste;
    }
    if (firstLevel >= levelCount) {
        paste.message = "The career has no level " + std::to_string(firstLevel) + ".";
        return paste;
    }
    if (lines.size() > levelCount - firstLevel) {
        paste.message = Counted(lines.size(), "level") + " pasted from level " + std::to_string(firstLevel) +
                        " would go past the career's last level, " + std::to_string(levelCount - 1) + ".";
        return paste;
    }
    // Each pasted level is bound by the one pasted below it, as it will be after the paste.
    Requirements below = RequirementsBelow(track, firstLevel);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t level = firstLevel + i;
        const std::string where = "Level " + std::to_string(level);
        if (lines[i].size() != LevelColumnCount) {
            paste.message = where + ": " + Counted(lines[i].size(), "cell") + " pasted where a level has " +
                            std::to_string(LevelColumnCount) + ".";
            paste.levels.clear();
            return paste;
        }
        JobLevel job = track.levels[level];
        for (std::size_t column = 0; column < LevelColumnCount; ++column) {
            LevelReading reading = ReadLevelCell(job, column, lines[i][column], below);
            if (!reading.job) {
                paste.message = where + ", " + Columns[column].name + ": " + reading.message;
                paste.levels.clear();
                return paste;
            }
            job = std::move(*reading.job);
        }
        for (std::size_t v = 0; v < below.size(); ++v) below[v] = job.values[v];
        paste.levels.push_back(std::move(job));
    }
    return paste;
}

}  // namespace tw

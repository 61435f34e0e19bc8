#pragma once

#include "model/Languages.h"
#include "model/StringTable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// The texts of one career in every language: its string table (STR# with the career's id),
// laid out in 33 rows:
//   0 career name, 1 male offer dialog text, 2 female offer dialog text,
//   3 + 2j male job name and 4 + 2j job description of level j, 23 + j female job name,
// for the levels 0 to 9. Levels from 10 up have no texts: their rows would be other levels'.
class CareerTexts {
public:
    enum class Text { CareerName, MaleOffer, FemaleOffer, MaleJobName, FemaleJobName, JobDescription };

    static constexpr std::uint16_t RowCount = 33;
    static constexpr std::uint32_t LevelsWithTexts = 10;
    // The languages of the editor's Language menu: slots 0 to 14.
    static constexpr std::uint16_t MenuSlotCount = 15;

    // The row of `text` (of job level `level` for the job texts); none for a job text of a level
    // that has no texts.
    static std::optional<std::uint16_t> Row(Text text, std::uint32_t level = 0);
    static bool IsJobText(Text text) { return text >= Text::MaleJobName; }

    // The value text of `text` in language `slot`; empty when the table lacks the row.
    std::string Get(Text text, std::uint32_t level, std::uint16_t slot) const;
    // Stores the value text; a table too short for the row gets the missing rows empty first,
    // so that the text is kept rather than dropped. False for a text that has no row, or a slot
    // out of range.
    bool Set(Text text, std::uint32_t level, std::uint16_t slot, const std::string& value);
    bool SetRow(std::uint16_t row, std::uint16_t slot, const std::string& value);

    // Copies the values of rows 0 to 32 in `slot` into the other menu languages (0 to 14), each
    // converted into the target's code page (see ConvertText). Returns the languages that lost
    // characters on the way.
    LanguageSet CopyToAllLanguages(std::uint16_t slot);

    // Brings the game's second table of job names (STR# id + 1000) in step with these texts:
    // the male and female job names of every level in every language.
    void UpdateJobNames(StringTable& names) const;

    // The career's string table resource.
    StringTable table;
};

}  // namespace tw

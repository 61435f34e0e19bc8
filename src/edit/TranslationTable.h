#pragma once

#include "edit/TranslatableTexts.h"
#include "model/StringTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Career > Translations: the translatable texts of one career (rows, see TranslatableTexts) in
// every language slot (columns 0 to 15), as the career set held them when taken. A cell is shown
// as UTF-8 with plain "\n" line breaks and read back into the bytes of its slot's code page.
class TranslationTable {
public:
    static constexpr std::uint16_t SlotCount = StringTable::SlotCount;

    // What a typed cell stores.
    struct CellReading {
        // None when the code page cannot hold the text.
        std::optional<std::string> bytes;
        // The typed characters that the code page lacks, each once, in the order typed (UTF-8).
        std::string leftOut;
    };

    // The career's texts as `set` holds them; no rows for a career that is not there. The chance
    // card rows come `withCards`.
    static TranslationTable Of(const CareerSet& set, std::uint32_t career, bool withCards);

    std::size_t RowCount() const { return rows_.size(); }
    // Rows and slots out of range give an empty text.
    const TranslatableText& Text(std::size_t row) const;
    const std::string& Bytes(std::size_t row, std::uint16_t slot) const;
    // The cell as a person reads and edits it.
    std::string Shown(std::size_t row, std::uint16_t slot) const;
    // The bytes to store for `typed` in the cell: its own bytes while it reads as shown, so that a
    // text nobody changed keeps them; line breaks as the cell's text had them. Refused (no bytes)
    // for invalid UTF-8 and a cell out of range.
    CellReading Read(std::size_t row, std::uint16_t slot, std::string_view typed) const;
    // Whether the row is missing in `slot`: empty there while USEnglish has it (for USEnglish,
    // while another slot has it). False out of range.
    bool Missing(std::size_t row, std::uint16_t slot) const;
    // The rows missing in `slot`, or every row without one.
    std::vector<std::size_t> Rows(std::optional<std::uint16_t> missingIn = std::nullopt) const;

    // The column heading of a slot: the language's name, "Slot 15" for the one without.
    static std::string SlotName(std::uint16_t slot);
    // Whether a text is written in lines (offer texts, job descriptions, chance cards) rather than
    // being a name.
    static bool MultiLine(const TranslatableText& text);

private:
    struct Row {
        TranslatableText text;
        std::array<std::string, SlotCount> bytes;
    };
    std::vector<Row> rows_;
};

}  // namespace tw

#pragma once

#include "model/GameResource.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tw {

// A game string table (resource type STR#): rows of texts, each row holding a value and a comment
// for each of 16 language slots. Texts are byte strings kept exactly as read.
//
// Data (little-endian): a u16 format word, then the entries.
//   0xFFFF  u16 count; per entry the value, NUL-terminated
//   0xFFFE  u16 count; per entry value and comment, NUL-terminated
//   0xFFFD  u16 count; per entry a language code byte, value and comment, NUL-terminated;
//           the entries come in groups, one group of all rows per language
//   0x0000  an empty table
//   other   the two bytes are a big-endian count; per entry a length byte and that many bytes
class StringTable final : public GameResource {
public:
    static constexpr std::uint16_t SlotCount = 16;
    static constexpr int Value = 0;
    static constexpr int Comment = 1;

    // The one-byte language code of a slot (USEnglish 0 -> 1 ... Korean 14 -> 20, slot 15 -> 21);
    // 0 for a slot out of range.
    static std::uint8_t SlotToCode(std::uint16_t slot);
    // The slot of a language code, or -1 for a code that has none (0, 8, 10 to 13, 22 and up).
    static int CodeToSlot(std::uint8_t code);

    // False, and `out` untouched, when row >= RowCount(), slot >= 16 or `which` is neither
    // Value nor Comment.
    bool GetText(std::uint16_t row, std::uint16_t slot, int which, std::string& out) const;
    // Sets one text; row == RowCount() appends an empty row first. False, and nothing changed,
    // when row > RowCount(), slot >= 16 or `which` is neither Value nor Comment.
    bool SetText(std::uint16_t row, std::uint16_t slot, int which, const std::string& text);
    std::size_t RowCount() const { return rows_.size(); }

    // Decoding fails on data that end inside an entry or name a language code that belongs to
    // no language at all (0, 22 and up); the rows decoded before the failure stay.
    bool Decode(std::span<const std::uint8_t> data) override;
    // False when the table holds more entries than a u16 count can say.
    bool Encode(std::vector<std::uint8_t>& out) override;

    // The format of the data; decoding sets them, encoding writes in them. A new table uses the
    // language format (0xFFFD).
    bool lengthPrefixed = false;
    bool hasLanguage = true;
    bool hasComment = true;

private:
    using Row = std::array<std::array<std::string, 2>, SlotCount>;


    std::vector<Row> rows_;
};

}  // namespace tw

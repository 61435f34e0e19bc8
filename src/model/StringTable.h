#pragma once

#include "model/GameResource.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// A game string table (resource type STR#): rows of texts, each row holding a value and a comment
// for each of 16 language slots. Texts are byte strings kept exactly as read, all of a table's
// texts in one buffer: decoding copies them there in one pass, without a string per text.
//
// Data (little-endian): a u16 format word, then the entries.
//   0xFFFF  u16 count; per entry the value, NUL-terminated
//   0xFFFE  u16 count; per entry value and comment, NUL-terminated
//   0xFFFD  u16 count; per entry a language code byte, value and comment, NUL-terminated;
//           the entries come in groups, one group of all rows per language, in ascending code
//           as written here
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
    // when row > RowCount(), slot >= 16, `which` is neither Value nor Comment, or the table's
    // texts would pass 4 GiB.
    bool SetText(std::uint16_t row, std::uint16_t slot, int which, const std::string& text) {
        return Set(row, slot, which, text);
    }
    std::size_t RowCount() const { return rows_.size(); }

    // Languages that the game knows but that have no slot (codes 8 and 10 to 13) keep their texts
    // as read: no edit reaches them, and the language format writes them back under their own
    // codes. Each such group keeps its own number of rows, which RowCount does not include.
    // The number of rows of the group of `code`; 0 for a code without such a group.
    std::size_t UnslottedRowCount(std::uint8_t code) const;
    // False, and `out` untouched, when there is no group of `code`, row >= its rows, or `which`
    // is neither Value nor Comment.
    bool GetUnslottedText(std::uint8_t code, std::uint16_t row, int which, std::string& out) const;

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
    // Where one text lies in `texts_`.
    struct Span {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    // Value and comment of every slot: entry 2 * slot + which.
    using Row = std::array<Span, 2 * SlotCount>;
    // The texts of a language without a slot, in the order of the file's rows.
    struct UnslottedGroup {
        std::uint8_t code = 0;
        std::vector<std::array<Span, 2>> rows;  // value, comment
    };

    bool Set(std::uint16_t row, std::uint16_t slot, int which, std::string_view text);
    // Decoding: the value and comment of an entry, which hold no NUL and fit the 32-bit offsets
    // (the data are at most 1 GiB); the row may be the one after the last.
    bool Place(std::uint16_t row, std::uint16_t slot, std::string_view value, std::string_view comment);
    // The same for a language without a slot: its group, made when it is the first entry.
    void PlaceUnslotted(std::uint8_t code, std::uint16_t row, std::string_view value, std::string_view comment);
    const UnslottedGroup* FindUnslotted(std::uint8_t code) const;
    // Every span lies inside `texts_`: an empty text at offset 0, any other where Append put it.
    std::string_view View(Span span) const {
        assert(span.offset <= texts_.size() && span.length <= texts_.size() - span.offset);
        return std::string_view(texts_.data() + span.offset, span.length);
    }
    // Appends a text to `texts_` and returns where it lies.
    Span Append(std::string_view text);
    // The text as the file holds it: up to its first NUL, which the file uses as the terminator.
    std::string_view Stored(const Row& row, std::uint16_t slot, int which) const;
    // Drops the bytes of replaced texts.
    void Compact();
    // Compaction: copies the text of `span` to the end of `into` and points `span` there.
    void Move(Span& span, std::string& into) const;

    // Every text back to back, as decoded or set; a replaced text stays until Compact.
    std::string texts_;
    std::size_t unused_ = 0;  // bytes of `texts_` that no row refers to
    bool anyNul_ = false;     // whether a text was set with a NUL in it
    std::vector<Row> rows_;
    std::vector<UnslottedGroup> unslotted_;  // in ascending code
};

}  // namespace tw

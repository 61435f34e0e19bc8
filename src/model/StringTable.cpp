#include "model/StringTable.h"

#include "iff/IFFFile.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/Stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tw {
namespace {

constexpr std::uint16_t FormatValues = 0xFFFF;
constexpr std::uint16_t FormatComments = 0xFFFE;
constexpr std::uint16_t FormatLanguages = 0xFFFD;
constexpr std::uint16_t FormatEmpty = 0x0000;

// Codes 8 and 10 to 13 are languages that the game knows but that have no slot here. Their
// entries are kept in groups of their own: putting them into a slot would overwrite another
// language.
bool IsUnslottedLanguage(std::uint8_t code) { return code == 8 || (code >= 10 && code <= 13); }

// The highest language code that the language format writes: that of slot 15.
constexpr std::uint8_t LastCode = 21;

}  // namespace

std::uint8_t StringTable::SlotToCode(std::uint16_t slot) {
    if (slot <= 6) return static_cast<std::uint8_t>(slot + 1);
    if (slot == 7) return 9;
    if (slot < SlotCount) return static_cast<std::uint8_t>(slot + 6);
    return 0;
}

int StringTable::CodeToSlot(std::uint8_t code) {
    if (code >= 1 && code <= 7) return code - 1;
    if (code == 9) return 7;
    if (code >= 14 && code <= 21) return code - 6;
    return -1;
}

bool StringTable::GetText(std::uint16_t row, std::uint16_t slot, int which, std::string& out) const {
    if (row >= rows_.size() || slot >= SlotCount || (which != Value && which != Comment)) return false;
    out.assign(View(rows_[row][2 * slot + static_cast<std::size_t>(which)]));
    return true;
}

bool StringTable::Set(std::uint16_t row, std::uint16_t slot, int which, std::string_view text) {
    if (row > rows_.size() || slot >= SlotCount || (which != Value && which != Comment)) return false;
    if (texts_.size() - unused_ + text.size() > std::numeric_limits<std::uint32_t>::max()) return false;
    if (row == rows_.size()) rows_.emplace_back();
    Span& span = rows_[row][2 * slot + static_cast<std::size_t>(which)];
    // The same text again changes nothing and keeps no second copy.
    if (View(span) == text) return true;
    unused_ += span.length;
    span = {};
    if (text.empty()) return true;
    if (texts_.size() + text.size() > std::numeric_limits<std::uint32_t>::max()) Compact();
    anyNul_ = anyNul_ || text.find('\0') != std::string_view::npos;
    span = Append(text);
    // Texts that are replaced again and again (typing) take no more than twice their room.
    if (unused_ > 4096 && unused_ > texts_.size() / 2) Compact();
    return true;
}

std::size_t StringTable::UnslottedRowCount(std::uint8_t code) const {
    const UnslottedGroup* group = FindUnslotted(code);
    return group != nullptr ? group->rows.size() : 0;
}

bool StringTable::GetUnslottedText(std::uint8_t code, std::uint16_t row, int which, std::string& out) const {
    const UnslottedGroup* group = FindUnslotted(code);
    if (group == nullptr || row >= group->rows.size() || (which != Value && which != Comment)) return false;
    out.assign(View(group->rows[row][static_cast<std::size_t>(which)]));
    return true;
}

const StringTable::UnslottedGroup* StringTable::FindUnslotted(std::uint8_t code) const {
    for (const UnslottedGroup& group : unslotted_)
        if (group.code == code) return &group;
    return nullptr;
}

void StringTable::PlaceUnslotted(std::uint8_t code, std::uint16_t row, std::string_view value,
                                 std::string_view comment) {
    auto group = std::find_if(unslotted_.begin(), unslotted_.end(),
                              [code](const UnslottedGroup& g) { return g.code >= code; });
    if (group == unslotted_.end() || group->code != code) group = unslotted_.insert(group, UnslottedGroup{code, {}});
    // A second group of the same language fills its rows again from the first, as in a slot.
    if (row >= group->rows.size()) group->rows.resize(static_cast<std::size_t>(row) + 1);
    std::array<Span, 2>& texts = group->rows[row];
    unused_ += texts[0].length + texts[1].length;
    texts = {Append(value), Append(comment)};
}

bool StringTable::Place(std::uint16_t row, std::uint16_t slot, std::string_view value, std::string_view comment) {
    if (row > rows_.size()) return false;
    if (row == rows_.size()) rows_.emplace_back();
    Span* span = &rows_[row][2 * static_cast<std::size_t>(slot)];
    for (const std::string_view text : {value, comment}) {
        unused_ += span->length;
        *span++ = Append(text);
    }
    return true;
}

StringTable::Span StringTable::Append(std::string_view text) {
    // An empty text lies at offset 0, which every buffer has, whatever becomes of the buffer.
    if (text.empty()) return {};
    const Span span{static_cast<std::uint32_t>(texts_.size()), static_cast<std::uint32_t>(text.size())};
    texts_.append(text);
    return span;
}

void StringTable::Move(Span& span, std::string& into) const {
    const std::string_view text = View(span);
    span = {};
    if (text.empty()) return;
    span = {static_cast<std::uint32_t>(into.size()), static_cast<std::uint32_t>(text.size())};
    into.append(text);
}

void StringTable::Compact() {
    std::string kept;
    kept.reserve(texts_.size() - unused_);
    // Every text moves, the empty ones to offset 0: an offset into the old buffer may lie past
    // the end of the new one.
    for (Row& row : rows_) {
        for (Span& span : row) {
            Move(span, kept);
        }
    }
    for (UnslottedGroup& group : unslotted_)
        for (std::array<Span, 2>& texts : group.rows)
            for (Span& span : texts) Move(span, kept);
    texts_ = std::move(kept);
    unused_ = 0;
}

std::string_view StringTable::Stored(const Row& row, std::uint16_t slot, int which) const {
    const std::string_view text = View(row[2 * slot + static_cast<std::size_t>(which)]);
    return anyNul_ ? text.substr(0, text.find('\0')) : text;
}

bool StringTable::Decode(std::span<const std::uint8_t> data) {
    rows_.clear();
    unslotted_.clear();
    texts_.clear();
    unused_ = 0;
    anyNul_ = false;
    ByteReader in(data);
    const std::uint16_t format = in.U16Le();
    if (!in.Ok()) return false;

    std::uint32_t count = 0;
    switch (format) {
    case FormatValues:
    case FormatComments:
    case FormatLanguages:
        lengthPrefixed = false;
        hasLanguage = format == FormatLanguages;
        hasComment = format != FormatValues;
        count = in.U16Le();
        if (!in.Ok()) return false;
        break;
    case FormatEmpty:
        // An empty table; the format flags stay what they were.
        return true;
    default:
        // The format word is really a big-endian entry count.
        lengthPrefixed = true;
        hasLanguage = false;
        hasComment = false;
        count = LoadU16Be(data.data());
        break;
    }
    // The texts take at most the data's room.
    texts_.reserve(data.size());

    auto text = [](std::span<const std::uint8_t> bytes) {
        return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    // Entries come in groups per language; each group numbers its rows from 0.
    std::uint16_t row = 0;
    int groupCode = -1;
    for (std::uint32_t entry = 0; entry < count; ++entry) {
        std::string_view value;
        std::string_view comment;
        int slot = 0;
        if (lengthPrefixed) {
            const std::uint8_t length = in.U8();
            const auto bytes = in.Bytes(length);
            if (!in.Ok()) return false;
            // A NUL inside the counted bytes ends the text early.
            value = text(bytes);
            value = value.substr(0, value.find('\0'));
        } else {
            const std::uint8_t code = hasLanguage ? in.U8() : StringTable::SlotToCode(0);
            if (!in.Ok()) return false;
            slot = CodeToSlot(code);
            if (slot < 0 && !IsUnslottedLanguage(code)) return false;
            if (code != groupCode) {
                row = 0;
                groupCode = code;
            }
            value = text(in.CStringBytes());
            if (hasComment) comment = text(in.CStringBytes());
            if (!in.Ok()) return false;
        }
        if (slot >= 0) {
            if (!Place(row, static_cast<std::uint16_t>(slot), value, comment)) return false;
        } else {
            PlaceUnslotted(static_cast<std::uint8_t>(groupCode), row, value, comment);
        }
        ++row;
    }
    // A career's tables are held for the whole session: no room beyond their rows.
    rows_.shrink_to_fit();
    return true;
}

bool StringTable::Encode(std::vector<std::uint8_t>& out) {
    std::uint16_t format = FormatLanguages;
    if (lengthPrefixed) {
        hasLanguage = false;
        hasComment = false;
    } else if (!hasComment) {
        format = FormatValues;
        hasLanguage = false;
    } else {
        format = hasLanguage ? FormatLanguages : FormatComments;
    }

    // One group of every row per language slot that holds any text; a slot whose texts are all
    // empty is left out, so a table without rows has no entries at all. In the language format
    // the languages without a slot are written back with their groups as read, and every group
    // stands in ascending code (slot order is code order). The groups are measured first, so that the
    // data are written in place in one buffer.
    const std::uint16_t passes = hasLanguage ? SlotCount : 1;
    std::array<bool, SlotCount> grouped{};
    std::size_t total = 0;
    std::size_t size = lengthPrefixed ? 2 : 4;
    for (std::uint16_t slot = 0; slot < passes; ++slot) {
        bool anyText = false;
        std::size_t groupSize = 0;
        for (const Row& texts : rows_) {
            const std::string_view value = Stored(texts, slot, Value);
            const std::string_view comment = Stored(texts, slot, Comment);
            anyText = anyText || !value.empty() || !comment.empty();
            if (lengthPrefixed)
                groupSize += 1 + std::min<std::size_t>(value.size(), 255);
            else
                groupSize += (hasLanguage ? 1 : 0) + value.size() + 1 + (hasComment ? comment.size() + 1 : 0);
        }
        if (!anyText) continue;
        grouped[slot] = true;
        size += groupSize;
        total += rows_.size();
    }
    if (hasLanguage) {
        for (const UnslottedGroup& group : unslotted_) {
            for (const auto& [value, comment] : group.rows) size += 1 + value.length + 1 + comment.length + 1;
            total += group.rows.size();
        }
    }
    // A count that does not fit its 16 bits would make the table unreadable.
    if (total > std::numeric_limits<std::uint16_t>::max()) return false;

    try {
        out.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::uint8_t* at = out.data();
    auto put = [&at](std::string_view text) {
        std::memcpy(at, text.data(), text.size());
        at += text.size();
    };
    auto entry = [&](std::uint8_t code, std::string_view value, std::string_view comment) {
        if (hasLanguage) *at++ = code;
        put(value);
        *at++ = 0;
        if (hasComment) {
            put(comment);
            *at++ = 0;
        }
    };
    if (lengthPrefixed) {
        at[0] = static_cast<std::uint8_t>(total >> 8);
        at[1] = static_cast<std::uint8_t>(total);
        at += 2;
    } else {
        StoreU16Le(at, format);
        StoreU16Le(at + 2, static_cast<std::uint16_t>(total));
        at += 4;
    }
    if (lengthPrefixed) {
        if (grouped[0]) {
            for (const Row& texts : rows_) {
                const std::string_view value = Stored(texts, 0, Value);
                const std::size_t length = std::min<std::size_t>(value.size(), 255);
                *at++ = static_cast<std::uint8_t>(length);
                put(value.substr(0, length));
            }
        }
        return true;
    }
    if (!hasLanguage) {
        if (grouped[0])
            for (const Row& texts : rows_) entry(0, Stored(texts, 0, Value), Stored(texts, 0, Comment));
        return true;
    }
    for (std::uint8_t code = 1; code <= LastCode; ++code) {
        const int slot = CodeToSlot(code);
        if (slot < 0) {
            if (const UnslottedGroup* group = FindUnslotted(code))
                for (const auto& [value, comment] : group->rows) entry(code, View(value), View(comment));
            continue;
        }
        if (!grouped[static_cast<std::size_t>(slot)]) continue;
        const auto s = static_cast<std::uint16_t>(slot);
        for (const Row& texts : rows_) entry(code, Stored(texts, s, Value), Stored(texts, s, Comment));
    }
    assert(at == out.data() + out.size());
    return true;
}

}  // namespace tw

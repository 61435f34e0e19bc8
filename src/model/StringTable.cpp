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
// entries are read over and dropped: putting them anywhere would overwrite another language.
bool IsUnslottedLanguage(std::uint8_t code) { return code == 8 || (code >= 10 && code <= 13); }

// A text as the file holds it: up to its first NUL, which the file uses as the terminator.
std::string_view StoredText(const std::string& text) {
    return std::string_view(text.data(), std::min(text.size(), std::strlen(text.c_str())));
}

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
    out = rows_[row][slot][static_cast<std::size_t>(which)];
    return true;
}

bool StringTable::SetText(std::uint16_t row, std::uint16_t slot, int which, const std::string& text) {
    if (row > rows_.size() || slot >= SlotCount || (which != Value && which != Comment)) return false;
    if (row == rows_.size()) rows_.emplace_back();
    rows_[row][slot][static_cast<std::size_t>(which)] = text;
    return true;
}

bool StringTable::Decode(std::span<const std::uint8_t> data) {
    rows_.clear();
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

    // Entries come in groups per language; each group numbers its rows from 0.
    std::uint16_t row = 0;
    int groupCode = -1;
    for (std::uint32_t entry = 0; entry < count; ++entry) {
        std::string value;
        std::string comment;
        int slot = 0;
        if (lengthPrefixed) {
            const std::uint8_t length = in.U8();
            const auto bytes = in.Bytes(length);
            if (!in.Ok()) return false;
            // A NUL inside the counted bytes ends the text early.
            const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
            value.assign(bytes.begin(), end);
        } else {
            const std::uint8_t code = hasLanguage ? in.U8() : StringTable::SlotToCode(0);
            if (!in.Ok()) return false;
            slot = CodeToSlot(code);
            if (slot < 0 && !IsUnslottedLanguage(code)) return false;
            if (code != groupCode) {
                row = 0;
                groupCode = code;
            }
            value = in.CString();
            if (hasComment) comment = in.CString();
            if (!in.Ok()) return false;
        }
        if (slot >= 0) {
            const auto s = static_cast<std::uint16_t>(slot);
            if (!SetText(row, s, Value, value) || !SetText(row, s, Comment, comment)) return false;
        }
        ++row;
    }
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
    // empty is left out, so a table without rows has no entries at all.
    ByteWriter entries;
    std::size_t total = 0;
    const std::uint16_t passes = hasLanguage ? SlotCount : 1;
    for (std::uint16_t slot = 0; slot < passes; ++slot) {
        ByteWriter group;
        bool anyText = false;
        for (const Row& texts : rows_) {
            const std::string_view value = StoredText(texts[slot][Value]);
            const std::string_view comment = StoredText(texts[slot][Comment]);
            anyText = anyText || !value.empty() || !comment.empty();
            if (lengthPrefixed) {
                const std::size_t length = std::min<std::size_t>(value.size(), 255);
                group.PutU8(static_cast<std::uint8_t>(length));
                group.PutText(value.substr(0, length));
                continue;
            }
            if (hasLanguage) group.PutU8(SlotToCode(slot));
            group.PutCString(value);
            if (hasComment) group.PutCString(comment);
        }
        if (!anyText) continue;
        entries.PutBytes(group.Bytes());
        total += rows_.size();
    }
    // A count that does not fit its 16 bits would make the table unreadable.
    if (total > std::numeric_limits<std::uint16_t>::max()) return false;

    ByteWriter head;
    if (lengthPrefixed) {
        head.PutU16Be(static_cast<std::uint16_t>(total));
    } else {
        head.PutU16Le(format);
        head.PutU16Le(static_cast<std::uint16_t>(total));
    }
    try {
        out = head.Take();
        out.insert(out.end(), entries.Bytes().begin(), entries.Bytes().end());
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace tw

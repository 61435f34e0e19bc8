// String tables, read and edited. An input is a table's data and a sequence of edits:
//   u16 (little-endian) n, then n bytes of table data (fewer when the input ends first), then
//   the edits, each an operation byte, a slot byte, a row byte and the text's bytes.
// What decodes must encode to a fixed point, and read back with the same texts in every slot
// and in every language without a slot. Then the edits run against a plain map of every text:
// after each one every text reads as the map says, and the encoding is the one the map gives.
#include "model/StringTable.h"
#include "util/MemoryStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using tw::StringTable;

[[noreturn]] void Fail() { __builtin_trap(); }

// The codes of the languages without a slot.
constexpr std::uint8_t UnslottedCodes[] = {8, 10, 11, 12, 13};

// Every text of a table: (row, slot, which) for the slots, and (code, row, which) apart.
struct Texts {
    std::size_t rows = 0;
    std::map<std::tuple<std::size_t, int, int>, std::string> slotted;
    std::map<std::tuple<int, std::size_t, int>, std::string> unslotted;

    const std::string& At(std::size_t row, int slot, int which) const {
        static const std::string empty;
        const auto found = slotted.find({row, slot, which});
        return found != slotted.end() ? found->second : empty;
    }
};

std::map<std::tuple<int, std::size_t, int>, std::string> Unslotted(const StringTable& table) {
    std::map<std::tuple<int, std::size_t, int>, std::string> texts;
    for (std::uint8_t code : UnslottedCodes)
        for (std::size_t row = 0; row < table.UnslottedRowCount(code); ++row)
            for (int which : {StringTable::Value, StringTable::Comment}) {
                std::string text;
                if (!table.GetUnslottedText(code, static_cast<std::uint16_t>(row), which, text)) Fail();
                texts[{code, row, which}] = text;
            }
    return texts;
}

Texts Read(const StringTable& table) {
    Texts texts;
    texts.rows = table.RowCount();
    for (std::size_t row = 0; row < texts.rows; ++row)
        for (int slot = 0; slot < StringTable::SlotCount; ++slot)
            for (int which : {StringTable::Value, StringTable::Comment}) {
                std::string text;
                if (!table.GetText(static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(slot), which, text))
                    Fail();
                if (!text.empty()) texts.slotted[{row, slot, which}] = text;
            }
    texts.unslotted = Unslotted(table);
    return texts;
}

// The text as a file holds it: up to its first NUL.
std::string_view Stored(std::string_view text) { return text.substr(0, text.find('\0')); }

// The data that a table holding `texts` in the format of `table` encodes to; none when its
// entries do not fit the count.
std::optional<std::vector<std::uint8_t>> Expected(const StringTable& table, const Texts& texts) {
    const bool lengthPrefixed = table.lengthPrefixed;
    const bool hasComment = !lengthPrefixed && table.hasComment;
    const bool hasLanguage = hasComment && table.hasLanguage;
    std::vector<std::uint8_t> out;
    auto put = [&out](std::string_view text) { out.insert(out.end(), text.begin(), text.end()); };
    std::size_t total = 0;
    auto slotGroup = [&](int slot, std::uint8_t code) {
        bool any = false;
        for (std::size_t row = 0; row < texts.rows; ++row)
            any = any || !Stored(texts.At(row, slot, 0)).empty() || !Stored(texts.At(row, slot, 1)).empty();
        if (!any) return;
        total += texts.rows;
        for (std::size_t row = 0; row < texts.rows; ++row) {
            const std::string_view value = Stored(texts.At(row, slot, 0));
            if (lengthPrefixed) {
                const std::string_view cut = value.substr(0, 255);
                out.push_back(static_cast<std::uint8_t>(cut.size()));
                put(cut);
                continue;
            }
            if (hasLanguage) out.push_back(code);
            put(value);
            out.push_back(0);
            if (hasComment) {
                put(Stored(texts.At(row, slot, 1)));
                out.push_back(0);
            }
        }
    };
    out.resize(lengthPrefixed ? 2 : 4);
    if (!hasLanguage) {
        slotGroup(0, 1);
    } else {
        for (int code = 1; code <= 21; ++code) {
            const int slot = StringTable::CodeToSlot(static_cast<std::uint8_t>(code));
            if (slot >= 0) {
                slotGroup(slot, static_cast<std::uint8_t>(code));
                continue;
            }
            for (std::size_t row = 0;; ++row) {
                const auto value = texts.unslotted.find({code, row, 0});
                if (value == texts.unslotted.end()) break;
                ++total;
                out.push_back(static_cast<std::uint8_t>(code));
                put(value->second);
                out.push_back(0);
                put(texts.unslotted.at({code, row, 1}));
                out.push_back(0);
            }
        }
    }
    if (total > std::numeric_limits<std::uint16_t>::max()) return std::nullopt;
    if (lengthPrefixed) {
        out[0] = static_cast<std::uint8_t>(total >> 8);
        out[1] = static_cast<std::uint8_t>(total);
    } else {
        const std::uint16_t format = !hasComment ? 0xFFFF : hasLanguage ? 0xFFFD : 0xFFFE;
        out[0] = static_cast<std::uint8_t>(format);
        out[1] = static_cast<std::uint8_t>(format >> 8);
        out[2] = static_cast<std::uint8_t>(total);
        out[3] = static_cast<std::uint8_t>(total >> 8);
    }
    return out;
}

void CheckAgainst(const StringTable& table, const Texts& model) {
    if (table.RowCount() != model.rows) Fail();
    std::string text;
    for (std::size_t row = 0; row <= model.rows; ++row)
        for (int slot = 0; slot <= StringTable::SlotCount; ++slot)
            for (int which : {StringTable::Value, StringTable::Comment}) {
                text = "-";
                const bool got =
                    table.GetText(static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(slot), which, text);
                if (row == model.rows || slot == StringTable::SlotCount) {
                    if (got || text != "-") Fail();
                } else if (!got || text != model.At(row, slot, which)) {
                    Fail();
                }
            }
    if (Unslotted(table) != model.unslotted) Fail();
}

// Decoding, encoding and decoding again keep every text.
void RoundTrip(std::span<const std::uint8_t> data) {
    tw::MemoryStream input(std::vector<std::uint8_t>(data.begin(), data.end()));
    StringTable table;
    if (!table.LoadFromStream(input)) return;
    const Texts read = Read(table);

    tw::MemoryStream first;
    if (!table.WriteToStream(first)) return;
    const std::vector<std::uint8_t> encoded = first.Copy();
    // A length-prefixed count whose two bytes read as a format word cannot come back as the
    // same format; such a table needs some 65000 entries.
    const std::uint16_t word = static_cast<std::uint16_t>(encoded[0] | (encoded[1] << 8));
    if (table.lengthPrefixed && word >= 0xFFFD) return;

    // Read back into a copy: data that hold no entries (the format word 0x0000) keep the format
    // that the table had.
    StringTable again = table;
    if (!again.LoadFromStream(first)) Fail();
    Texts back = Read(again);
    // Rows whose every slot is empty write nothing; they read back as no rows at all.
    if (back.rows != read.rows && !(back.rows == 0 && read.slotted.empty())) Fail();
    back.rows = read.rows;
    if (back.slotted != read.slotted || back.unslotted != read.unslotted) Fail();
    tw::MemoryStream second;
    if (!again.WriteToStream(second) || second.Copy() != encoded) Fail();
}

// The edits, each checked against the map.
void Edit(std::span<const std::uint8_t> data, std::span<const std::uint8_t> edits) {
    StringTable table;
    tw::MemoryStream input(std::vector<std::uint8_t>(data.begin(), data.end()));
    // A table that does not decode, or is too long to check after every edit, starts empty.
    if (!table.LoadFromStream(input) || table.RowCount() > 64) table = StringTable{};
    Texts model = Read(table);

    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < edits.size() ? edits[at++] : 0; };
    for (int step = 0; step < 128 && at < edits.size(); ++step) {
        const std::uint8_t operation = next();
        const int slot = next() % (StringTable::SlotCount + 2);
        const std::uint8_t rowByte = next();
        // Which text: value, comment, or one of two that do not exist.
        const int which = (operation & 3) == 2 ? 2 : (operation & 3) == 3 ? -1 : (operation & 3);
        std::size_t row = 0;
        switch ((operation >> 2) & 3) {
            case 0: row = model.rows == 0 ? 0 : rowByte % model.rows; break;
            case 1: row = model.rows; break;      // a new row
            case 2: row = model.rows + 1; break;  // past the new row
            default: row = rowByte; break;
        }
        std::string text;
        const std::uint8_t length = next();
        switch ((operation >> 4) & 3) {
            case 0: break;  // empty
            case 1:
                for (std::uint8_t i = 0; i < length % 40 && at < edits.size(); ++i) text += static_cast<char>(next());
                break;
            case 2: text.assign(static_cast<std::size_t>(length) * 40 + 1, static_cast<char>('a' + length % 26)); break;
            default:
                text = "before";
                text += '\0';
                text.append(length % 8, 'x');
                break;
        }
        if (row > std::numeric_limits<std::uint16_t>::max()) continue;

        const bool valid = row <= model.rows && slot < StringTable::SlotCount &&
                           (which == StringTable::Value || which == StringTable::Comment);
        const bool set = table.SetText(static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(slot), which, text);
        if (set != valid) Fail();
        if (valid) {
            if (row == model.rows) ++model.rows;
            if (text.empty())
                model.slotted.erase({row, slot, which});
            else
                model.slotted[{row, slot, which}] = text;
        }
        CheckAgainst(table, model);

        const std::optional<std::vector<std::uint8_t>> expected = Expected(table, model);
        std::vector<std::uint8_t> encoded;
        if (table.Encode(encoded) != expected.has_value()) Fail();
        if (expected && encoded != *expected) Fail();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    if (size < 2) return 0;
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(data[0] | (data[1] << 8)), size - 2);
    const std::span<const std::uint8_t> table = input.subspan(2, length);
    RoundTrip(table);
    Edit(table, input.subspan(2 + length));
    return 0;
}

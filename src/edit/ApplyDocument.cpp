#include "edit/ApplyDocument.h"

#include "model/CardItemFields.h"
#include "model/JobLevelRules.h"
#include "model/Languages.h"
#include "text/TextCodec.h"
#include "text/Utf8.h"
#include "util/StrictJsonReader.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>

namespace tw {
namespace {

// Row numbers and entry counts of a string table are 16-bit.
constexpr std::int64_t MaxTableRows = 0xFFFF;
constexpr const char* CardsLocked = "chance-card editing is disabled";

std::string RangeReason(const ValueRange& range, bool fromLevelBelow) {
    if (range.maximum == std::numeric_limits<std::int32_t>::max()) return "must not be negative";
    // "between 999 and 25" would name a range that does not exist.
    if (fromLevelBelow && range.minimum > range.maximum)
        return "must be at most " + std::to_string(range.maximum) + "; the level below already needs " +
               std::to_string(range.minimum);
    const std::string minimum = std::to_string(range.minimum) + (fromLevelBelow ? " (the level below's)" : "");
    return "must be between " + minimum + " and " + std::to_string(range.maximum);
}

std::string SlotName(std::uint16_t slot) {
    return slot < LanguageNames.size() ? LanguageNames[slot] : "slot " + std::to_string(slot);
}

// "a", "a and b", "a, b and c".
std::string JoinedNames(const std::vector<std::string>& names) {
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i)
        joined += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return joined;
}

// The changed values of `row` that hold the bytes of another slot's value there, the source,
// which its code page reads as other characters: a copy made as bytes between languages, such as
// a Western name pasted into Japanese. The source is a slot that holds the bytes unchanged, else
// the first that holds them (a Western one before the others); none when there is no such copy.
std::optional<std::string> CopyBetweenCodePages(const StringTable& table, std::uint16_t row,
                                                const std::bitset<StringTable::SlotCount>& changed) {
    std::array<std::string, StringTable::SlotCount> values;
    for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
        table.GetText(row, slot, StringTable::Value, values[slot]);
    std::map<std::uint16_t, std::vector<std::string>> copiesOf;  // source slot -> the slots that copy it
    for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
        if (!changed[slot] || values[slot].empty()) continue;
        std::uint16_t source = slot;
        for (std::uint16_t other = 0; other < StringTable::SlotCount; ++other) {
            if (values[other] != values[slot]) continue;
            if (!changed[other]) {
                source = other;
                break;
            }
            source = std::min(source, other);
        }
        if (source != slot &&
            DecodeToUtf8(values[slot], SlotCodePage(slot)) != DecodeToUtf8(values[slot], SlotCodePage(source)))
            copiesOf[source].push_back(SlotName(slot));
    }
    if (copiesOf.empty()) return std::nullopt;
    std::string copies;
    for (const auto& [source, slots] : copiesOf)
        copies += (copies.empty() ? "" : "; ") + JoinedNames(slots) + (slots.size() == 1 ? " holds" : " hold") +
                  " the bytes of the " + SlotName(source) + " text \"" +
                  DecodeToUtf8(values[source], SlotCodePage(source)) + "\"";
    return copies + ", which their code pages read as other characters (dump --utf8 and apply --utf8 copy texts "
                    "between languages as characters)";
}

// Where a card names a text row, for the checks across cards.
struct RowUse {
    std::string card;  // "careers[0].cards[3]"
    std::uint16_t row = 0;
    bool changed = false;
};

class DocumentReader : private StrictJsonReader {
public:
    DocumentReader(const CareerSet& loaded, bool cardsDisabled, DocumentTexts texts)
        : loaded_(loaded), cardsDisabled_(cardsDisabled), texts_(texts) {}

    DocumentReading Read(const JsonValue& document) {
        reading_.careers = loaded_.careers;
        reading_.cardTexts = loaded_.cardTexts;
        // The informational members are optional and say nothing.
        const auto fields = Fields(&document, "",
                                   {{"gameFolder", true}, {"careersFile", true}, {"chanceCardsDisabled", true},
                                    {"careers"}, {"cardTexts"}, {"freeCardTextRows"}, {"icons", true},
                                    {"problems", true}});
        if (fields) {
            Careers((*fields)[3]);
            // With chance-card editing off the document shows an empty table, which must stay so.
            StringTable noCardTexts;
            Table((*fields)[4], "cardTexts", cardsDisabled_ ? noCardTexts : reading_.cardTexts.table, cardsDisabled_);
            FreeRows((*fields)[5]);
            CheckTextRows();
        }
        reading_.problems = TakeProblems();
        return std::move(reading_);
    }

private:
    template <typename T>
    void Assign(T& target, T value) {
        if (target == value) return;
        target = std::move(value);
        reading_.changed = true;
    }

    // The bytes of a text in code page `page` whose loaded bytes are `current`.
    std::optional<std::string> Text(const JsonValue* value, const std::string& path, CodePage page,
                                    const std::string& current) {
        const std::string* read = String(value, path);
        if (read == nullptr) return std::nullopt;
        const std::string& text = *read;
        if (texts_ == DocumentTexts::Utf8 && text == DecodeToUtf8(current, page)) return current;
        // The files end a text at its first NUL, so no text holds U+0000. A byte string holds
        // each byte as the character with the same number.
        std::string bytes;
        for (std::size_t at = 0; at < text.size();) {
            const Utf8Char next = NextUtf8(text, at);
            at += next.size;
            const char32_t c = next.codePoint.value_or(0xFFFD);
            if (c == 0) {
                Problem(path, "holds U+0000, which no text can hold");
                return std::nullopt;
            }
            if (texts_ == DocumentTexts::Utf8) continue;
            if (c > 0xFF) {
                Problem(path, "holds " + CharacterName(c) + ", but a byte-string text holds only U+0001 to U+00FF");
                return std::nullopt;
            }
            bytes += static_cast<char>(c);
        }
        if (texts_ == DocumentTexts::Bytes) return bytes;
        if (std::optional<std::string> encoded = EncodeFromUtf8(text, page)) return encoded;
        // Name the first character that the code page lacks.
        for (std::size_t at = 0; at < text.size();) {
            const Utf8Char next = NextUtf8(text, at);
            at += next.size;
            const char32_t c = next.codePoint.value_or(0xFFFD);
            const bool keptByte = c >= RawByteBase && c <= RawByteBase + 0xFF;
            if (!keptByte && !CanEncode(c, page)) {
                Problem(path, "holds " + CharacterName(c) + ", which code page " +
                                  std::to_string(static_cast<unsigned>(page)) + " cannot hold");
                return std::nullopt;
            }
        }
        Problem(path, "cannot be written in code page " + std::to_string(static_cast<unsigned>(page)) +
                          ": a kept byte (U+10FExx) would read back as part of a character");
        return std::nullopt;
    }

    void Careers(const JsonValue* value) {
        const std::string path = "careers";
        const auto* careers = Array(value, path);
        if (careers == nullptr) return;
        if (careers->size() != loaded_.Count()) {
            Problem(path, "the game has " + std::to_string(loaded_.Count()) + " careers, the document " +
                              std::to_string(careers->size()));
            return;
        }
        for (std::size_t c = 0; c < careers->size(); ++c) Career((*careers)[c], Item(path, c), c);
    }

    void Career(const JsonValue& value, const std::string& path, std::size_t c) {
        const tw::Career& before = loaded_.careers[c];
        tw::Career& career = reading_.careers[c];
        const auto fields = Fields(&value, path, {{"index"}, {"id"}, {"name"}, {"levels"}, {"strings"}, {"cards"}});
        if (!fields) return;
        const auto& f = *fields;
        const auto index = static_cast<std::int64_t>(c);
        Integer(f[0], Member(path, "index"), index, index, "must be " + std::to_string(c) + ", the career's place");
        // Without the loaded career's id here, the rest would be compared with another career.
        if (f[1] == nullptr || !Integer(f[1], Member(path, "id"), before.id, before.id,
                                        "the career at this place has id " + std::to_string(before.id)))
            return;
        if (auto name = Text(f[2], Member(path, "name"), CodePage::Windows1252, before.track.name))
            Assign(career.track.name, std::move(*name));
        Levels(f[3], Member(path, "levels"), before.track, career.track);
        Table(f[4], Member(path, "strings"), career.texts.table, false);
        Cards(f[5], Member(path, "cards"), before, career);
    }

    void Levels(const JsonValue* value, const std::string& path, const CareerTrack& before, CareerTrack& track) {
        const auto* levels = Array(value, path);
        if (levels == nullptr) return;
        if (levels->size() != before.levels.size()) {
            Problem(path, "the career has " + std::to_string(before.levels.size()) + " levels, the document " +
                              std::to_string(levels->size()));
            return;
        }
        for (std::size_t l = 0; l < levels->size(); ++l) {
            const std::string at = Item(path, l);
            const auto fields = Fields(&(*levels)[l], at, {{"values"}, {"texts"}});
            if (!fields) continue;
            JobLevel& level = track.levels[l];
            const std::string valuesPath = Member(at, "values");
            if (const auto* values = Array((*fields)[0], valuesPath, JobLevel::ValueCount, "21 values expected")) {
                for (std::size_t v = 0; v < values->size(); ++v) {
                    const auto number = Integer(&(*values)[v], Item(valuesPath, v), std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max(), "not a signed 32-bit integer");
                    if (number) Assign(level.values[v], static_cast<std::int32_t>(*number));
                }
            }
            const std::string textsPath = Member(at, "texts");
            if (const auto* texts = Array((*fields)[1], textsPath, JobLevel::TextCount, "5 texts expected")) {
                for (std::size_t t = 0; t < texts->size(); ++t) {
                    auto text = Text(&(*texts)[t], Item(textsPath, t), CodePage::Windows1252, before.levels[l].texts[t]);
                    if (text) Assign(level.texts[t], std::move(*text));
                }
            }
        }
        // The job details dialog's ranges for each value that changed, against the document's
        // level below only: like the dialog, a change never makes an unchanged level above wrong.
        constexpr std::size_t RequirementCount = std::tuple_size_v<Requirements>;
        for (std::size_t l = 0; l < track.levels.size(); ++l) {
            const Requirements below = RequirementsBelow(track, l);
            for (std::size_t v = 0; v < JobLevel::ValueCount; ++v) {
                const std::optional<ValueRange> range = JobValueRange(v, below);
                const std::int32_t number = track.levels[l].values[v];
                const bool requirement = v < RequirementCount && l > 0;
                const bool changed = number != before.levels[l].values[v];
                if (!range || !changed || (number >= range->minimum && number <= range->maximum)) continue;
                Problem(Item(Member(Item(path, l), "values"), v), RangeReason(*range, requirement));
            }
        }
    }

    // A string table of the document into `table`, which holds the loaded one. An entry missing
    // from the document is an empty value and comment. With `locked`, every change is a problem.
    void Table(const JsonValue* value, const std::string& path, StringTable& table, bool locked) {
        const auto fields = Fields(value, path, {{"rows"}, {"entries"}});
        if (!fields) return;
        const std::string rowsPath = Member(path, "rows");
        std::int64_t rowCount = static_cast<std::int64_t>(table.RowCount());
        if (const auto rows = Integer((*fields)[0], rowsPath, 0, MaxTableRows, "not 0 to 65535")) {
            if (*rows < rowCount)
                Problem(rowsPath, "a table cannot lose rows: it has " + std::to_string(rowCount));
            else if (locked && *rows != rowCount)
                Problem(rowsPath, CardsLocked);
            else
                rowCount = *rows;
        }

        struct Cell {
            std::string path;
            std::string value;
            std::string comment;
        };
        std::map<std::pair<std::int64_t, std::int64_t>, Cell> cells;
        const std::string entriesPath = Member(path, "entries");
        if (const auto* entries = Array((*fields)[1], entriesPath)) {
            for (std::size_t i = 0; i < entries->size(); ++i) {
                const std::string at = Item(entriesPath, i);
                const auto entry = Fields(&(*entries)[i], at, {{"row"}, {"slot"}, {"value"}, {"comment"}});
                if (!entry) continue;
                const auto row = Integer((*entry)[0], Member(at, "row"), 0, rowCount - 1,
                                         "not below the table's " + std::to_string(rowCount) + " rows");
                const auto slot = Integer((*entry)[1], Member(at, "slot"), 0, StringTable::SlotCount - 1, "not 0 to 15");
                if (!row || !slot) continue;
                const auto r = static_cast<std::uint16_t>(*row);
                const auto s = static_cast<std::uint16_t>(*slot);
                std::string currentValue, currentComment;
                table.GetText(r, s, StringTable::Value, currentValue);
                table.GetText(r, s, StringTable::Comment, currentComment);
                auto text = Text((*entry)[2], Member(at, "value"), SlotCodePage(s), currentValue);
                auto comment = Text((*entry)[3], Member(at, "comment"), SlotCodePage(s), currentComment);
                if (!text || !comment) continue;
                const auto [first, added] = cells.try_emplace({*row, *slot}, Cell{at, std::move(*text), std::move(*comment)});
                if (!added)
                    Problem(at, "row " + std::to_string(*row) + ", slot " + std::to_string(*slot) + " is already in " +
                                    first->second.path);
            }
        }

        if (locked) {
            for (const auto& [place, cell] : cells)
                if (!cell.value.empty() || !cell.comment.empty()) Problem(cell.path, CardsLocked);
            return;
        }
        while (static_cast<std::int64_t>(table.RowCount()) < rowCount) {
            table.SetText(static_cast<std::uint16_t>(table.RowCount()), 0, StringTable::Value, {});
            reading_.changed = true;
        }
        for (std::int64_t row = 0; row < rowCount; ++row) {
            const auto r = static_cast<std::uint16_t>(row);
            std::bitset<StringTable::SlotCount> changedValues;
            for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
                const auto found = cells.find({row, slot});
                std::string text, comment;
                table.GetText(r, slot, StringTable::Value, text);
                table.GetText(r, slot, StringTable::Comment, comment);
                std::string newText = found != cells.end() ? found->second.value : std::string();
                changedValues[slot] = newText != text;
                Assign(text, std::move(newText));
                Assign(comment, found != cells.end() ? found->second.comment : std::string());
                table.SetText(r, slot, StringTable::Value, text);
                table.SetText(r, slot, StringTable::Comment, comment);
            }
            // A document of UTF-8 texts encodes each in its own slot's code page.
            if (texts_ == DocumentTexts::Bytes && changedValues.any())
                if (std::optional<std::string> copy = CopyBetweenCodePages(table, r, changedValues))
                    reading_.warnings.push_back({path, "row " + std::to_string(row) + ": " + *copy});
        }
    }

    void Cards(const JsonValue* value, const std::string& path, const tw::Career& before, tw::Career& career) {
        const auto* cards = Array(value, path, tw::Career::CardCount, "10 cards expected, for the levels 0 to 9");
        if (cards == nullptr) return;
        for (std::size_t k = 0; k < cards->size(); ++k) {
            const std::string at = Item(path, k);
            const auto fields = Fields(&(*cards)[k], at, {{"level"}, {"textRow"}, {"items"}});
            if (!fields) continue;
            const auto& f = *fields;
            const auto level = static_cast<std::int64_t>(k);
            Integer(f[0], Member(at, "level"), level, level, "must be " + std::to_string(k) + ", the card's place");
            const std::string rowPath = Member(at, "textRow");
            const std::string rowReason = "must be 0 (no text) or 1 to " + std::to_string(CardTexts::FlaggedRows);
            const auto textRow = Integer(f[1], rowPath, 0, 0xFFFF, rowReason);
            const std::string itemsPath = Member(at, "items");
            const std::optional<std::vector<CardItem>> items = Items(f[2], itemsPath);

            // What `dump` showed of the card: nothing while chance-card editing is off.
            const ChanceCard shown = cardsDisabled_ ? ChanceCard{} : before.cards[k];
            ChanceCard& card = career.cards[k];
            if (textRow && *textRow != shown.textRow) {
                if (cardsDisabled_)
                    Problem(rowPath, CardsLocked);
                else if (*textRow > CardTexts::FlaggedRows)
                    Problem(rowPath, rowReason);
                else
                    Assign(card.textRow, static_cast<std::uint16_t>(*textRow));
            }
            if (!cardsDisabled_ && card.textRow != 0)
                rowUses_.push_back({at, card.textRow, card.textRow != shown.textRow});
            if (!items || *items == shown.items) continue;
            if (cardsDisabled_) {
                Problem(itemsPath, CardsLocked);
                continue;
            }
            // The card item dialog's checks, for the items the card did not have.
            for (std::size_t i = 0; i < items->size(); ++i) {
                const CardItem& item = (*items)[i];
                if (std::find(shown.items.begin(), shown.items.end(), item) != shown.items.end()) continue;
                if (const auto problem = CardItemProblem(item)) Problem(Item(itemsPath, i), *problem);
            }
            if (const auto problem = CardItemsProblem(*items)) Problem(itemsPath, *problem);
            Assign(card.items, *items);
        }
    }

    // A card's items, each [kind, parameter, value]; none when any of them cannot be read.
    std::optional<std::vector<CardItem>> Items(const JsonValue* value, const std::string& path) {
        const auto* items = Array(value, path);
        if (items == nullptr) return std::nullopt;
        std::vector<CardItem> read;
        bool complete = true;
        for (std::size_t i = 0; i < items->size(); ++i) {
            const std::string at = Item(path, i);
            const auto* numbers = Array(&(*items)[i], at, 3, "[kind, parameter, value] expected");
            if (numbers == nullptr) {
                complete = false;
                continue;
            }
            std::array<std::uint32_t, 3> parts{};
            for (std::size_t n = 0; n < parts.size(); ++n) {
                const auto number = Integer(&(*numbers)[n], Item(at, n), 0, std::numeric_limits<std::uint32_t>::max(),
                                            "not an unsigned 32-bit integer");
                complete = complete && number.has_value();
                parts[n] = static_cast<std::uint32_t>(number.value_or(0));
            }
            read.push_back({parts[0], parts[1], parts[2]});
        }
        if (!complete) return std::nullopt;
        return read;
    }

    void FreeRows(const JsonValue* value) {
        const std::string path = "freeCardTextRows";
        const auto* rows = Array(value, path);
        if (rows == nullptr) return;
        for (std::size_t i = 0; i < rows->size(); ++i) {
            const std::string at = Item(path, i);
            const auto row = Integer(&(*rows)[i], at, 1, CardTexts::FlaggedRows,
                                     "must be 1 to " + std::to_string(CardTexts::FlaggedRows));
            if (!row) continue;
            if (const auto [first, added] = freeAt_.try_emplace(static_cast<std::uint16_t>(*row), at); !added) {
                Problem(at, "row " + std::to_string(*row) + " is already in " + first->second);
                continue;
            }
            if (cardsDisabled_) Problem(at, CardsLocked);
        }
        if (cardsDisabled_) return;
        for (std::uint16_t row = 1; row <= CardTexts::FlaggedRows; ++row) {
            const bool free = freeAt_.contains(row);
            if (free == reading_.cardTexts.IsFree(row)) continue;
            reading_.cardTexts.SetFree(row, free);
            reading_.changed = true;
        }
    }

    // A card's text row is used by no other card and is not free, where either side changed.
    // The cards come before the free rows in the document.
    void CheckTextRows() {
        std::map<std::uint16_t, const RowUse*> firstUse;
        for (const RowUse& use : rowUses_) {
            const auto [first, added] = firstUse.try_emplace(use.row, &use);
            if (!added && (use.changed || first->second->changed))
                Problem(Member(use.card, "textRow"),
                        "text row " + std::to_string(use.row) + " is already the text row of " + first->second->card);
        }
        for (const RowUse& use : rowUses_) {
            const auto free = freeAt_.find(use.row);
            if (free != freeAt_.end() && (use.changed || !loaded_.cardTexts.IsFree(use.row)))
                Problem(free->second, "row " + std::to_string(use.row) + " is the text row of " + use.card);
        }
    }

    const CareerSet& loaded_;
    const bool cardsDisabled_;
    const DocumentTexts texts_;
    DocumentReading reading_;
    std::vector<RowUse> rowUses_;
    std::map<std::uint16_t, std::string> freeAt_;  // the free rows the document lists, with their place
};

}  // namespace

DocumentReading ReadDocument(const CareerSet& loaded, bool chanceCardsDisabled, const JsonValue& document,
                             DocumentTexts texts) {
    return DocumentReader(loaded, chanceCardsDisabled, texts).Read(document);
}

}  // namespace tw

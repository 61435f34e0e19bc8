#include "edit/ModelChanges.h"

#include "edit/EditSession.h"
#include "model/StringTable.h"
#include "text/TextCodec.h"

#include <algorithm>
#include <array>
#include <optional>

namespace tw {
namespace {

constexpr std::array<const char*, JobLevel::ValueCount> ValueNames = {
    "Friends", "Cooking", "Mechanical", "Charisma", "Body", "Logic",  "Creativity", "Value 7",    "Value 8",  "Value 9",
    "Hunger",  "Comfort", "Hygiene",    "Bladder",  "Energy", "Fun", "Social",     "Salary", "Begin Hour", "End Hour",
    "Car Pool"};
constexpr std::array<const char*, JobLevel::TextCount> JobTextNames = {"Internal Job Name", "Male Skin", "Female Skin",
                                                                       "Texture", "Accessory"};

std::string Internal(const std::string& bytes) { return DecodeToUtf8(bytes, CodePage::Windows1252); }
std::string InLanguage(const std::string& bytes, std::uint16_t slot) { return DecodeToUtf8(bytes, SlotCodePage(slot)); }

std::string TextOf(const StringTable& table, std::uint16_t row, std::uint16_t slot, int which) {
    std::string text;
    table.GetText(row, slot, which, text);
    return text;
}

// A row of a career's texts, in the order a person meets them in the window: the career's own
// texts, then per job level its male and female job names and its description.
struct TextRow {
    std::uint16_t row;
    std::string field;
    std::optional<std::uint32_t> level;
};

std::vector<TextRow> TextRowsInWindowOrder(std::size_t rowCount) {
    using Text = CareerTexts::Text;
    std::vector<TextRow> rows;
    for (const Text text : {Text::CareerName, Text::MaleOffer, Text::FemaleOffer})
        rows.push_back({*CareerTexts::Row(text), TextName(text), std::nullopt});
    for (std::uint32_t level = 0; level < CareerTexts::LevelsWithTexts; ++level)
        for (const Text text : {Text::MaleJobName, Text::FemaleJobName, Text::JobDescription})
            rows.push_back({*CareerTexts::Row(text, level), TextName(text), level});
    for (std::size_t row = CareerTexts::RowCount; row < rowCount && row <= 0xFFFF; ++row)
        rows.push_back({static_cast<std::uint16_t>(row), "Text Row " + std::to_string(row), std::nullopt});
    return rows;
}

// A card's text row as a person meets it: through the other cards that show the same text. Only
// a row no other card shows is named by its number.
std::string CardTextName(std::uint16_t row, const std::vector<Career>& careers, std::uint32_t career,
                         std::uint32_t level) {
    if (row == 0) return "(no text)";
    std::string others;
    for (std::uint32_t c = 0; c < careers.size(); ++c)
        for (std::uint32_t l = 0; l < Career::CardCount; ++l)
            if ((c != career || l != level) && careers[c].cards[l].textRow == row)
                others += (others.empty() ? "" : "; ") + ("#" + std::to_string(careers[c].id) + " " +
                                                         Internal(careers[c].track.name) + ", level #" +
                                                         std::to_string(l));
    return others.empty() ? "card text row " + std::to_string(row) : "the text shared with " + others;
}

class ChangeList {
public:
    std::vector<ModelChange> changes;

    ModelChange& Add(ModelChange::Kind kind, EditPlace place, std::string field, std::string before, std::string after) {
        ModelChange change;
        change.kind = kind;
        change.place = place;
        change.field = std::move(field);
        change.before = std::move(before);
        change.after = std::move(after);
        changes.push_back(std::move(change));
        return changes.back();
    }

    void Number(EditPlace place, std::string field, std::int64_t before, std::int64_t after) {
        if (before != after) Add(ModelChange::Kind::Number, place, std::move(field), std::to_string(before), std::to_string(after));
    }

    void Career(std::uint32_t index, const tw::Career& was, const tw::Career& is) {
        const EditPlace career{index, std::nullopt, std::nullopt};
        if (was.track.name != is.track.name)
            Add(ModelChange::Kind::Text, career, "Internal Career Name", Internal(was.track.name), Internal(is.track.name));
        Texts(index, was.texts.table, is.texts.table);
        Levels(index, was.track.levels, is.track.levels);
    }

    void Texts(std::uint32_t career, const StringTable& was, const StringTable& is) {
        for (const TextRow& row : TextRowsInWindowOrder(std::max(was.RowCount(), is.RowCount())))
            for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot)
                for (const int which : {StringTable::Value, StringTable::Comment}) {
                    const std::string before = TextOf(was, row.row, slot, which);
                    const std::string after = TextOf(is, row.row, slot, which);
                    if (before == after) continue;
                    Add(ModelChange::Kind::Text, {career, row.level, slot},
                        which == StringTable::Comment ? row.field + " (Comment)" : row.field, InLanguage(before, slot),
                        InLanguage(after, slot));
                }
    }

    void Levels(std::uint32_t career, const std::vector<JobLevel>& was, const std::vector<JobLevel>& is) {
        Number({career, std::nullopt, std::nullopt}, "Job Levels", static_cast<std::int64_t>(was.size()),
               static_cast<std::int64_t>(is.size()));
        for (std::uint32_t level = 0; level < std::max(was.size(), is.size()); ++level) {
            const EditPlace place{career, level, std::nullopt};
            if (level >= was.size() || level >= is.size()) {
                // A level that only one side has: named by its internal job name.
                const auto name = [level](const std::vector<JobLevel>& levels) {
                    return level < levels.size() ? Internal(levels[level].texts[0]) : std::string();
                };
                Add(ModelChange::Kind::Text, place, "Job Level", name(was), name(is));
                continue;
            }
            for (std::size_t value = 0; value < JobLevel::ValueCount; ++value)
                Number(place, ValueNames[value], was[level].values[value], is[level].values[value]);
            for (std::size_t text = 0; text < JobLevel::TextCount; ++text)
                if (was[level].texts[text] != is[level].texts[text])
                    Add(ModelChange::Kind::Text, place, JobTextNames[text], Internal(was[level].texts[text]),
                        Internal(is[level].texts[text]));
        }
    }

    // The career's cards; the card text rows they hold are marked in `held`. A card's text row
    // is no difference of its own where its texts or items show one: the row is where the text
    // lives, which a person never sees.
    void Cards(std::uint32_t career, const std::vector<tw::Career>& careersWere,
               const std::vector<tw::Career>& careersAre, const CardTexts& textsWere, const CardTexts& textsAre,
               std::vector<bool>& held) {
        for (std::uint32_t level = 0; level < tw::Career::CardCount; ++level) {
            const ChanceCard& before = careersWere[career].cards[level];
            const ChanceCard& after = careersAre[career].cards[level];
            const EditPlace place{career, level, std::nullopt};
            const std::size_t listed = changes.size();
            if (before.items != after.items) {
                ModelChange& change = Add(ModelChange::Kind::CardItems, place, "Chance Card Items", {}, {});
                change.itemsBefore = before.items;
                change.itemsAfter = after.items;
            }
            for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
                const std::string textBefore = textsWere.Get(before.textRow, slot).value_or(std::string());
                const std::string textAfter = textsAre.Get(after.textRow, slot).value_or(std::string());
                if (textBefore != textAfter)
                    Add(ModelChange::Kind::Text, {career, level, slot}, "Chance Card Text", InLanguage(textBefore, slot),
                        InLanguage(textAfter, slot));
            }
            if (before.textRow != after.textRow && changes.size() == listed)
                Add(ModelChange::Kind::Text, place, "Chance Card Text",
                    CardTextName(before.textRow, careersWere, career, level),
                    CardTextName(after.textRow, careersAre, career, level));
            for (const std::uint16_t row : {before.textRow, after.textRow})
                if (row < held.size()) held[row] = true;
        }
    }

    // `popupsSame` and `buttonsSame`: whether the whole strips are, which spares cutting out
    // every career's icons on both sides while the review follows each keystroke.
    void Icons(std::uint32_t career, std::uint16_t number, const IconStrips& was, const IconStrips& is, bool popupsSame,
               bool buttonsSame) {
        struct Which {
            const char* field;
            bool (IconStrips::*get)(std::uint32_t, Bitmap&) const;
            bool same;
        };
        for (const Which which : {Which{"Popup Icon", &IconStrips::GetPopupIcon, popupsSame},
                                  Which{"Button Icon", &IconStrips::GetButtonIcon, buttonsSame}}) {
            if (which.same) continue;
            Bitmap before;
            Bitmap after;
            (was.*which.get)(number, before);
            (is.*which.get)(number, after);
            if (before.SamePixels(after)) continue;
            ModelChange& change = Add(ModelChange::Kind::Icon, {career, std::nullopt, std::nullopt}, which.field, {}, {});
            change.iconBefore = std::move(before);
            change.iconAfter = std::move(after);
        }
    }

    // Card texts that no card of either side holds (text row = table row + 1).
    void FreeCardTexts(const CardTexts& was, const CardTexts& is, const std::vector<bool>& held) {
        const std::size_t rows = std::min<std::size_t>(std::max(was.table.RowCount(), is.table.RowCount()), 0xFFFF);
        for (std::size_t row = 0; row < rows; ++row) {
            const auto textRow = static_cast<std::uint16_t>(row + 1);
            if (textRow < held.size() && held[textRow]) continue;
            for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
                const std::string before = was.Get(textRow, slot).value_or(std::string());
                const std::string after = is.Get(textRow, slot).value_or(std::string());
                if (before != after)
                    Add(ModelChange::Kind::Text, {std::nullopt, std::nullopt, slot},
                        "Chance Card Text (unused card text row " + std::to_string(textRow) + ")",
                        InLanguage(before, slot), InLanguage(after, slot));
            }
        }
    }
};

}  // namespace

std::vector<ModelChange> ListChanges(const ModelSnapshot& before, const CareerSet& careers, const IconStrips& icons) {
    ChangeList list;
    std::vector<bool> held(0x10000, false);
    const std::size_t count = std::min(before.careers.size(), careers.Count());
    const bool popupsSame = before.icons.SamePopupStrip(icons);
    const bool buttonsSame = before.icons.SameButtonStrip(icons);
    for (std::uint32_t career = 0; career < count; ++career) {
        const Career& was = before.careers[career];
        const Career& is = careers.careers[career];
        list.Career(career, was, is);
        list.Cards(career, before.careers, careers.careers, before.cardTexts, careers.cardTexts, held);
        list.Icons(career, is.id, before.icons, icons, popupsSame, buttonsSame);
    }
    list.FreeCardTexts(before.cardTexts, careers.cardTexts, held);
    return std::move(list.changes);
}

}  // namespace tw

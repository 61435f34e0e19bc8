#include "edit/TranslatableTexts.h"

#include <algorithm>

namespace tw {
namespace {

using Text = CareerTexts::Text;

// The card's text row as the chance card dialog would show it; 0 when it shows none.
std::uint16_t ShownCardRow(const CareerSet& set, const ChanceCard& card) {
    return OpeningTextRow(set.cardTexts, card.textRow, !card.items.empty()).textRow;
}

const ChanceCard* CardOf(const CareerSet& set, const TranslatableText& text) {
    if (text.career >= set.Count()) return nullptr;
    const Career& career = set.careers[text.career];
    if (text.level >= career.LevelCount()) return nullptr;
    return career.Card(text.level);
}

bool Exists(const CareerSet& set, const TranslatableText& text) {
    if (text.career >= set.Count()) return false;
    if (text.IsCard()) {
        const ChanceCard* card = CardOf(set, text);
        return card && ShownCardRow(set, *card) != 0;
    }
    if (!CareerTexts::IsJobText(*text.text)) return text.level == 0;
    return text.level < std::min(set.careers[text.career].LevelCount(), CareerTexts::LevelsWithTexts);
}

}  // namespace

std::vector<TranslatableText> TranslatableTexts(const CareerSet& set, std::uint32_t career, bool withCards) {
    std::vector<TranslatableText> texts;
    if (career >= set.Count()) return texts;
    for (Text text : {Text::CareerName, Text::MaleOffer, Text::FemaleOffer}) texts.push_back({career, text, 0});
    const std::uint32_t levels = std::min(set.careers[career].LevelCount(), CareerTexts::LevelsWithTexts);
    for (std::uint32_t level = 0; level < levels; ++level) {
        for (Text text : {Text::MaleJobName, Text::FemaleJobName, Text::JobDescription})
            texts.push_back({career, text, level});
        const TranslatableText card{career, std::nullopt, level};
        if (withCards && Exists(set, card)) texts.push_back(card);
    }
    return texts;
}

std::vector<TranslatableText> AllTranslatableTexts(const CareerSet& set, bool withCards) {
    std::vector<TranslatableText> texts;
    for (std::uint32_t career = 0; career < set.Count(); ++career) {
        std::vector<TranslatableText> own = TranslatableTexts(set, career, withCards);
        texts.insert(texts.end(), own.begin(), own.end());
    }
    return texts;
}

std::string TranslatableBytes(const CareerSet& set, const TranslatableText& text, std::uint16_t slot, int which) {
    std::string bytes;
    if (!Exists(set, text)) return bytes;
    if (text.IsCard()) {
        const std::uint16_t row = ShownCardRow(set, *CardOf(set, text));
        set.cardTexts.table.GetText(static_cast<std::uint16_t>(row - 1), slot, which, bytes);
        return bytes;
    }
    const std::optional<std::uint16_t> row = CareerTexts::Row(*text.text, text.level);
    if (row) set.careers[text.career].texts.table.GetText(*row, slot, which, bytes);
    return bytes;
}

bool SetTranslatableBytes(CareerSet& set, const TranslatableText& text, std::uint16_t slot, const std::string& bytes,
                          int which) {
    if (!Exists(set, text) || slot >= StringTable::SlotCount) return false;
    if (text.IsCard()) {
        const std::uint16_t row = ShownCardRow(set, *CardOf(set, text));
        // Rows between the table's end and the card's row are filled in empty, so that the text is kept.
        StringTable& table = set.cardTexts.table;
        while (table.RowCount() < row - 1u) table.SetText(static_cast<std::uint16_t>(table.RowCount()), 0, StringTable::Value, "");
        return table.SetText(static_cast<std::uint16_t>(row - 1), slot, which, bytes);
    }
    const std::optional<std::uint16_t> row = CareerTexts::Row(*text.text, text.level);
    if (!row) return false;
    StringTable& table = set.careers[text.career].texts.table;
    while (table.RowCount() < *row) table.SetText(static_cast<std::uint16_t>(table.RowCount()), 0, StringTable::Value, "");
    return table.SetText(*row, slot, which, bytes);
}

std::string TranslatableLabel(const TranslatableText& text) {
    const auto name = [&]() -> std::string {
        if (text.IsCard()) return "Chance card";
        switch (*text.text) {
            case Text::CareerName: return "Career name";
            case Text::MaleOffer: return "Male offer text";
            case Text::FemaleOffer: return "Female offer text";
            case Text::MaleJobName: return "Male job name";
            case Text::FemaleJobName: return "Female job name";
            case Text::JobDescription: return "Job description";
        }
        return "Text";
    }();
    if (!text.IsCard() && !CareerTexts::IsJobText(*text.text)) return name;
    return "Level " + std::to_string(text.level) + ": " + name;
}

}  // namespace tw

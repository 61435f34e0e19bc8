#include "model/CareerTexts.h"

#include "text/TextCodec.h"

#include <array>

namespace tw {
namespace {

// The rows that hold job names: the male names of levels 0 to 9 (3, 5, ..., 21) and the female
// names (23 to 32).
constexpr std::array<std::uint16_t, 20> JobNameRows = {3,  5,  7,  9,  11, 13, 15, 17, 19, 21,
                                                       23, 24, 25, 26, 27, 28, 29, 30, 31, 32};

}  // namespace

std::optional<std::uint16_t> CareerTexts::Row(Text text, std::uint32_t level) {
    switch (text) {
        case Text::CareerName: return 0;
        case Text::MaleOffer: return 1;
        case Text::FemaleOffer: return 2;
        default: break;
    }
    if (level >= LevelsWithTexts) return std::nullopt;
    switch (text) {
        case Text::MaleJobName: return static_cast<std::uint16_t>(3 + 2 * level);
        case Text::JobDescription: return static_cast<std::uint16_t>(4 + 2 * level);
        case Text::FemaleJobName: return static_cast<std::uint16_t>(23 + level);
        default: return std::nullopt;
    }
}

std::string CareerTexts::Get(Text text, std::uint32_t level, std::uint16_t slot) const {
    std::string value;
    if (const std::optional<std::uint16_t> row = Row(text, level)) table.GetText(*row, slot, StringTable::Value, value);
    return value;
}

bool CareerTexts::Set(Text text, std::uint32_t level, std::uint16_t slot, const std::string& value) {
    const std::optional<std::uint16_t> row = Row(text, level);
    return row && SetRow(*row, slot, value);
}

bool CareerTexts::SetRow(std::uint16_t row, std::uint16_t slot, const std::string& value) {
    if (slot >= StringTable::SlotCount) return false;
    while (table.RowCount() < row)
        if (!table.SetText(static_cast<std::uint16_t>(table.RowCount()), slot, StringTable::Value, {})) return false;
    return table.SetText(row, slot, StringTable::Value, value);
}

LanguageSet CareerTexts::CopyToAllLanguages(std::uint16_t slot) {
    LanguageSet lost;
    for (std::uint16_t row = 0; row < RowCount; ++row) {
        std::string value;
        if (!table.GetText(row, slot, StringTable::Value, value)) continue;
        for (std::uint16_t target = 0; target < MenuSlotCount; ++target) {
            if (target == slot) continue;
            const ConvertedText converted = ConvertText(value, SlotCodePage(slot), SlotCodePage(target));
            table.SetText(row, target, StringTable::Value, converted.bytes);
            if (converted.lost) lost.set(target);
        }
    }
    return lost;
}

void CareerTexts::UpdateJobNames(StringTable& names) const {
    for (std::uint16_t slot = 0; slot < StringTable::SlotCount; ++slot) {
        for (std::uint16_t row : JobNameRows) {
            std::string value;
            if (table.GetText(row, slot, StringTable::Value, value)) names.SetText(row, slot, StringTable::Value, value);
        }
    }
}

}  // namespace tw

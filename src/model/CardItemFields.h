#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/CardItem.h"

namespace tw {

// Skill codes in the order of the item dialog's skill list: "Cooking", "Mechanical",
// "Charisma", "Body", "Logic", "Creativity".
inline constexpr std::array<std::uint32_t, 6> SkillListCodes = {SkillCode::Cooking, SkillCode::Mechanical,
                                                                 SkillCode::Charisma, SkillCode::Body,
                                                                 SkillCode::Logic, SkillCode::Creativity};

// The values of the chance-card item dialog's controls. A list index of -1 selects nothing.
struct CardItemFields {
    std::uint32_t kind = 0;
    std::uint32_t budgetAmount = 0;
    std::int32_t jobValue = 0;
    std::int32_t skillAmount = 0;
    int budgetOperation = -1;  // 0 "Add", 1 "Subtract"
    int jobTarget = -1;        // 0 "Career Path", 1 "Promotion Level"
    int skill = -1;            // index into SkillListCodes
    int skillOperation = -1;   // 0 "Add", 1 "Subtract"
    int sound = -1;            // 0 "Positive (Good)", 1 "Negative (Bad)"

    bool operator==(const CardItemFields&) const = default;
};

// The controls after choosing the group of `kind`: amounts 0, every list at its first item.
CardItemFields GroupDefaults(std::uint32_t kind);

// The controls that show `item` when the dialog opens. An unknown kind chooses no group:
// amounts 0 and no list selection.
CardItemFields FieldsForItem(const CardItem& item);

// The item that the controls stand for; an unknown kind returns `original` unchanged.
// Amounts are taken as they are: the dialog holds them against their ranges before.
CardItem ItemFromFields(const CardItemFields& fields, const CardItem& original);

// The ranges of the dialog's amounts.
inline constexpr std::int64_t BudgetAmountMaximum = 65535;
inline constexpr std::int64_t SkillAmountMaximum = 1000;
inline constexpr std::int64_t JobValueMaximum = 1000;

// Why `item` is not one that the card item dialog can make (an unknown kind, a parameter or
// variable the dialog has no control for, an amount out of its range); none for a good item.
std::optional<std::string> CardItemProblem(const CardItem& item);

// Why the item list of a card cannot be confirmed: a card with items has exactly one sound item.
// None when it can.
std::optional<std::string> CardItemsProblem(const std::vector<CardItem>& items);

// What the chance card dialog says when the sound items are not exactly one.
inline constexpr const char* SoundItemMessage = "You must have exactly one sound item!";

}  // namespace tw

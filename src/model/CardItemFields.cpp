#include "model/CardItemFields.h"

namespace tw {

CardItemFields GroupDefaults(std::uint32_t kind) {
    CardItemFields fields;
    fields.kind = kind;
    fields.budgetOperation = 0;
    fields.jobTarget = 0;
    fields.skill = 0;
    fields.skillOperation = 0;
    fields.sound = 0;
    return fields;
}

static int SkillListIndex(std::uint32_t code) {
    for (std::size_t i = 0; i < SkillListCodes.size(); ++i)
        if (SkillListCodes[i] == code) return static_cast<int>(i);
    return 0;  // an unknown skill opens as "Cooking"
}

CardItemFields FieldsForItem(const CardItem& item) {
    const std::uint32_t high = item.value >> 16;
    const std::uint32_t low = item.value & 0xFFFFu;
    switch (item.kind) {
        case CardItemKind::Budget: {
            CardItemFields fields = GroupDefaults(item.kind);
            fields.budgetOperation = item.parameter != 0 ? 1 : 0;
            fields.budgetAmount = item.value;
            return fields;
        }
        case CardItemKind::Skill: {
            CardItemFields fields = GroupDefaults(item.kind);
            fields.skill = SkillListIndex(high);
            fields.skillOperation = item.parameter != 0 ? 1 : 0;
            fields.skillAmount = static_cast<std::int32_t>(low);
            return fields;
        }
        case CardItemKind::Job: {
            CardItemFields fields = GroupDefaults(item.kind);
            fields.jobTarget = high == JobVariable::CareerPath ? 0 : 1;
            fields.jobValue = static_cast<std::int32_t>(low);
            return fields;
        }
        case CardItemKind::Sound: {
            CardItemFields fields = GroupDefaults(item.kind);
            fields.sound = item.value == SoundNumber::Positive ? 0 : 1;
            return fields;
        }
        default:
            return CardItemFields{};
    }
}

// A list that shows nothing counts as its first item.
static std::uint32_t ListIndex(int index, std::size_t count) {
    return index > 0 && static_cast<std::size_t>(index) < count ? static_cast<std::uint32_t>(index) : 0;
}

CardItem ItemFromFields(const CardItemFields& fields, const CardItem& original) {
    CardItem item = original;
    switch (fields.kind) {
        case CardItemKind::Budget:
            item.kind = fields.kind;
            item.parameter = fields.budgetOperation == 1 ? 1 : 0;
            item.value = fields.budgetAmount;
            break;
        case CardItemKind::Skill:
            item.kind = fields.kind;
            item.parameter = fields.skillOperation == 1 ? 1 : 0;
            item.value = SkillListCodes[ListIndex(fields.skill, SkillListCodes.size())] * 65536u +
                         static_cast<std::uint32_t>(fields.skillAmount);
            break;
        case CardItemKind::Job:
            item.kind = fields.kind;
            item.parameter = 2;
            item.value = (JobVariable::CareerPath + ListIndex(fields.jobTarget, 2)) * 65536u +
                         static_cast<std::uint32_t>(fields.jobValue);
            break;
        case CardItemKind::Sound:
            item.kind = fields.kind;
            item.parameter = 2;
            item.value = fields.sound == 1 ? SoundNumber::Negative : SoundNumber::Positive;
            break;
        default:
            break;
    }
    return item;
}

std::optional<std::string> CardItemProblem(const CardItem& item) {
    if (item.kind < CardItemKind::Budget || item.kind > CardItemKind::Sound) return "the kind is not 1 to 4";
    const std::uint32_t low = item.value & 0xFFFFu;
    const std::uint32_t high = item.value >> 16;
    switch (item.kind) {
        case CardItemKind::Budget:
            if (item.value > BudgetAmountMaximum) return "the amount is not 0 to 65535";
            break;
        case CardItemKind::Skill:
            if (low > SkillAmountMaximum) return "the amount is not 0 to 1000";
            break;
        case CardItemKind::Job:
            if (high != JobVariable::CareerPath && high != JobVariable::PromotionLevel)
                return "it changes neither the career path nor the promotion level";
            if (low > JobValueMaximum) return "the value is not 0 to 1000";
            break;
        default:
            break;
    }
    // What the dialog's controls make of the item must be the item itself: a parameter, skill or
    // sound that it has no control for is not one of its items.
    if (ItemFromFields(FieldsForItem(item), item) != item) return "the dialog has no control for its parameter or value";
    return std::nullopt;
}

std::optional<std::string> CardItemsProblem(const std::vector<CardItem>& items) {
    if (items.empty()) return std::nullopt;
    std::size_t sounds = 0;
    for (const CardItem& item : items) sounds += item.kind == CardItemKind::Sound ? 1 : 0;
    if (sounds != 1) return std::string(SoundItemMessage);
    return std::nullopt;
}

}  // namespace tw

#include "ui/CardItemText.h"

#include "model/CardItemFields.h"

namespace tw {

static std::string SkillName(std::uint32_t code) {
    switch (code) {
        case SkillCode::Cooking: return "Cooking ";
        case SkillCode::Charisma: return "Charisma ";
        case SkillCode::Mechanical: return "Mechanical ";
        case SkillCode::Creativity: return "Creativity ";
        case SkillCode::Body: return "Body ";
        case SkillCode::Logic: return "Logic ";
        default: return "unknown ";
    }
}

std::string CardItemRowText(const CardItem& item) {
    const std::uint32_t high = item.value >> 16;
    const std::uint32_t low = item.value & 0xFFFFu;
    switch (item.kind) {
        case CardItemKind::Budget:
            return std::string("Budget: ") + (item.parameter == 0 ? "add " : "subtract ") + std::to_string(item.value);
        case CardItemKind::Skill: {
            const char* operation = item.parameter == 0 ? "add " : item.parameter == 1 ? "subtract " : "unknown ";
            return "Skill: " + SkillName(high) + operation + std::to_string(low);
        }
        case CardItemKind::Job: {
            const char* target = high == JobVariable::CareerPath ? "Career Path "
                                 : high == JobVariable::PromotionLevel ? "Promotion Level "
                                                                       : "unknown ";
            return std::string("Job: ") + target + (item.parameter == 2 ? "set to " : "unknown ") + std::to_string(low);
        }
        case CardItemKind::Sound:
            return std::string("Sound: ") + (item.value == SoundNumber::Positive   ? "Positive (Good)"
                                             : item.value == SoundNumber::Negative ? "Negative (Bad)"
                                                                                   : "Unknown");
        default:
            return "";
    }
}

}  // namespace tw

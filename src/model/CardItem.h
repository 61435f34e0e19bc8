#pragma once

#include <cstdint>

namespace tw {

// One effect of a chance card.
//   kind 1 budget: parameter 0 add / 1 subtract, value amount (low 16 bits used)
//   kind 2 skill:  parameter 0 add / 1 subtract, value skill variable * 65536 + amount
//   kind 3 job:    parameter 2, value variable * 65536 + new value (0x38 career, 0x39 level)
//   kind 4 sound:  parameter 2, value sound number (312 good, 311 bad)
struct CardItem {
    std::uint32_t kind = 0;
    std::uint32_t parameter = 0;
    std::uint32_t value = 0;

    bool operator==(const CardItem&) const = default;
};

// The numbers that card items carry.
namespace CardItemKind {
inline constexpr std::uint32_t Budget = 1;
inline constexpr std::uint32_t Skill = 2;
inline constexpr std::uint32_t Job = 3;
inline constexpr std::uint32_t Sound = 4;
}  // namespace CardItemKind

// The game's variable numbers of the six skills, as they stand in a skill item's upper half.
namespace SkillCode {
inline constexpr std::uint32_t Cooking = 10;
inline constexpr std::uint32_t Charisma = 11;
inline constexpr std::uint32_t Mechanical = 12;
inline constexpr std::uint32_t Creativity = 15;
inline constexpr std::uint32_t Body = 17;
inline constexpr std::uint32_t Logic = 18;
}  // namespace SkillCode

namespace JobVariable {
inline constexpr std::uint32_t CareerPath = 56;
inline constexpr std::uint32_t PromotionLevel = 57;
}  // namespace JobVariable

namespace SoundNumber {
inline constexpr std::uint32_t Negative = 311;
inline constexpr std::uint32_t Positive = 312;
}  // namespace SoundNumber

}  // namespace tw

#pragma once

#include "model/Behavior.h"
#include "model/CardItem.h"
#include "model/Instruction.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tw {

class IFFFile;

// The instruction shapes through which the game's behaviour code expresses chance cards, and
// the walk that finds the behaviours holding them.
namespace cardcode {

// The game variables that the card code tests and changes.
inline constexpr std::uint16_t CareerVariable = JobVariable::CareerPath;
inline constexpr std::uint16_t JobLevelVariable = JobVariable::PromotionLevel;
inline constexpr std::array<std::uint16_t, 6> SkillVariables = {
    SkillCode::Cooking, SkillCode::Charisma, SkillCode::Mechanical,
    SkillCode::Creativity, SkillCode::Body, SkillCode::Logic};

inline constexpr std::uint16_t OpcodeTest = 0x02;
inline constexpr std::uint16_t OpcodeBudget = 0x19;
inline constexpr std::uint16_t OpcodeSound = 0x17;
inline constexpr std::uint16_t OpcodeDialog = 0x24;

// Operators of the test/assign instruction (operand byte 5).
inline constexpr std::uint8_t OperatorAtLeast = 0;
inline constexpr std::uint8_t OperatorEquals = 2;
inline constexpr std::uint8_t OperatorAdd = 3;
inline constexpr std::uint8_t OperatorSubtract = 4;
inline constexpr std::uint8_t OperatorAssign = 5;

// Opcode 2 on a person variable: op 0-1 variable, op 2-3 value, op 5 operator, op 6-7 0x12 0x07.
Instruction MakeVariableOp(std::uint16_t variable, std::uint16_t value, std::uint8_t op);
Instruction MakeCareerTest(std::uint16_t careerId);
Instruction MakeLevelTest(std::uint16_t level);
// Opcode 0x19 on the family budget: op 0-1 0x03 0x07, op 2-3 amount, op 4 mode
// (0 subtract, 1 test that the budget holds the amount, 2 add).
Instruction MakeBudget(std::uint16_t amount, std::uint8_t mode);
Instruction MakeSound(std::uint16_t sound);
Instruction MakeDialog(std::uint16_t textRow);
Instruction MakeCall(std::uint16_t behaviorId);

bool IsCareerTest(const Instruction& instruction, std::uint16_t careerId);
// The career that a career test asks for; none for any other instruction.
std::optional<std::uint16_t> CareerTestId(const Instruction& instruction);
bool IsLevelTest(const Instruction& instruction, std::uint16_t level);
// The card item that an instruction of a card's code stands for; false for instructions that
// are not effects (guards, tests, dialogs, exits).
bool DecodeItem(const Instruction& instruction, CardItem& item);

// The behaviours that hold the chance cards: the root 4124 and the behaviours that it calls,
// breadth first, at most eight. Each id is visited once; an id that cannot be found or
// loaded becomes 0 in the list, and one that is there but does not decode is also named in
// `undecodable`.
struct CardBehaviors {
    static constexpr std::size_t Capacity = 8;
    std::array<std::uint16_t, Capacity> ids{};
    std::array<Behavior, Capacity> code;
    std::size_t visited = 0;
    std::vector<std::uint16_t> undecodable;
};
// With `removeFound`, each behaviour that loads is deleted from the container right after.
CardBehaviors CollectCardBehaviors(IFFFile& container, bool removeFound);

}  // namespace cardcode
}  // namespace tw

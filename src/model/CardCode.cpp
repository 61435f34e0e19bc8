#include "model/CardCode.h"

#include "iff/IFFFile.h"
#include "model/CareerSet.h"

#include <algorithm>

namespace tw::cardcode {
namespace {

constexpr std::uint8_t PersonScope = 0x12;
constexpr std::uint8_t PersonData = 0x07;

bool IsVariableOp(const Instruction& instruction) {
    return instruction.opcode == OpcodeTest && instruction.operands[6] == PersonScope &&
           instruction.operands[7] == PersonData;
}

bool IsSkill(std::uint16_t variable) {
    return std::find(SkillVariables.begin(), SkillVariables.end(), variable) != SkillVariables.end();
}

}  // namespace

Instruction MakeVariableOp(std::uint16_t variable, std::uint16_t value, std::uint8_t op) {
    Instruction instruction;
    instruction.opcode = OpcodeTest;
    instruction.SetOperand16(0, variable);
    instruction.SetOperand16(2, value);
    instruction.operands[5] = op;
    instruction.operands[6] = PersonScope;
    instruction.operands[7] = PersonData;
    return instruction;
}

Instruction MakeCareerTest(std::uint16_t careerId) { return MakeVariableOp(CareerVariable, careerId, OperatorEquals); }

Instruction MakeLevelTest(std::uint16_t level) { return MakeVariableOp(JobLevelVariable, level, OperatorEquals); }

Instruction MakeBudget(std::uint16_t amount, std::uint8_t mode) {
    Instruction instruction;
    instruction.opcode = OpcodeBudget;
    instruction.operands[0] = 0x03;
    instruction.operands[1] = 0x07;
    instruction.SetOperand16(2, amount);
    instruction.operands[4] = mode;
    return instruction;
}

Instruction MakeSound(std::uint16_t sound) {
    Instruction instruction;
    instruction.opcode = OpcodeSound;
    instruction.SetOperand16(0, sound);
    return instruction;
}

Instruction MakeDialog(std::uint16_t textRow) {
    Instruction instruction;
    instruction.opcode = OpcodeDialog;
    instruction.operands[1] = 0x2C;
    instruction.SetOperand16(2, textRow);
    instruction.operands[6] = 4;
    instruction.operands[7] = 8;
    return instruction;
}

Instruction MakeCall(std::uint16_t behaviorId) {
    Instruction instruction;
    instruction.opcode = behaviorId;
    instruction.trueTarget = Instruction::TrueExit;
    instruction.falseTarget = Instruction::FalseExit;
    instruction.operands.fill(0xFF);
    return instruction;
}

bool IsCareerTest(const Instruction& instruction, std::uint16_t careerId) {
    // Operand byte 4 is not looked at.
    return IsVariableOp(instruction) && instruction.operands[5] == OperatorEquals &&
           instruction.Operand16(0) == CareerVariable && instruction.Operand16(2) == careerId;
}

std::optional<std::uint16_t> CareerTestId(const Instruction& instruction) {
    if (!IsVariableOp(instruction) || instruction.operands[5] != OperatorEquals ||
        instruction.Operand16(0) != CareerVariable)
        return std::nullopt;
    return instruction.Operand16(2);
}

bool IsLevelTest(const Instruction& instruction, std::uint16_t level) {
    return IsVariableOp(instruction) && instruction.operands[5] == OperatorEquals &&
           instruction.Operand16(0) == JobLevelVariable && instruction.Operand16(2) == level;
}

bool DecodeItem(const Instruction& instruction, CardItem& item) {
    const std::uint16_t variable = instruction.Operand16(0);
    const std::uint16_t value = instruction.Operand16(2);
    const std::uint8_t op = instruction.operands[5];
    if (instruction.opcode == OpcodeBudget) {
        // Bit 0 of the mode marks the guard that only tests the budget.
        if (instruction.operands[0] != 0x03 || instruction.operands[1] != 0x07 || (instruction.operands[4] & 1u) != 0)
            return false;
        item = {1, (instruction.operands[4] & 2u) == 0 ? 1u : 0u, value};
        return true;
    }
    if (IsVariableOp(instruction) && (op == OperatorAdd || op == OperatorSubtract) && IsSkill(variable)) {
        item = {2, op == OperatorAdd ? 0u : 1u, (std::uint32_t{variable} << 16) | value};
        return true;
    }
    if (IsVariableOp(instruction) && op == OperatorAssign &&
        (variable == CareerVariable || variable == JobLevelVariable)) {
        item = {3, 2, (std::uint32_t{variable} << 16) | value};
        return true;
    }
    if (instruction.opcode == OpcodeSound) {
        item = {4, 2, variable};
        return true;
    }
    return false;
}

CardBehaviors CollectCardBehaviors(IFFFile& container, bool removeFound) {
    CardBehaviors found;
    found.ids[0] = CareerSet::RootCardBehaviorId;
    found.visited = 1;
    // Every id ever put into the list, also those that then failed to load: a behaviour that is
    // called twice, or calls back into one already listed, is still read only once, so its
    // cards are not decoded twice.
    std::vector<std::uint16_t> listed{found.ids[0]};
    for (std::size_t i = 0; i < found.visited; ++i) {
        ChunkHandle chunk = 0;
        if (!container.FindChunk(chunk, TypeBHAV, found.ids[i])) {
            found.ids[i] = 0;
            continue;
        }
        if (!found.code[i].LoadFromIFF(container, chunk)) {
            found.undecodable.push_back(found.ids[i]);
            found.ids[i] = 0;
            continue;
        }
        if (removeFound) container.DeleteChunk(TypeBHAV, found.ids[i]);
        if (i + 1 == CardBehaviors::Capacity) break;
        for (const Instruction& instruction : found.code[i].instructions) {
            if (!instruction.IsCall()) continue;
            if (std::find(listed.begin(), listed.end(), instruction.opcode) != listed.end()) continue;
            if (found.visited == CardBehaviors::Capacity) break;
            found.ids[found.visited++] = instruction.opcode;
            listed.push_back(instruction.opcode);
        }
    }
    return found;
}

}  // namespace tw::cardcode

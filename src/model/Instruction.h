#pragma once

#include <array>
#include <cstdint>

namespace tw {

// One 12-byte instruction of a behaviour: u16 opcode, true target, false target, eight operand
// bytes. A target below 0xFD is an instruction index of the same behaviour; 0xFD is the error
// exit, 0xFE the true exit, 0xFF the false exit. Opcodes 0x1000 to 0x1FFF call the behaviour
// with that id.
struct Instruction {
    static constexpr std::uint8_t ErrorExit = 0xFD;
    static constexpr std::uint8_t TrueExit = 0xFE;
    static constexpr std::uint8_t FalseExit = 0xFF;
    static constexpr std::uint16_t FirstCall = 0x1000;
    static constexpr std::uint16_t LastCall = 0x1FFF;

    std::uint16_t opcode = 0;
    std::uint8_t trueTarget = 0;
    std::uint8_t falseTarget = 0;
    std::array<std::uint8_t, 8> operands{};

    bool IsCall() const { return opcode >= FirstCall && opcode <= LastCall; }
    // The little-endian 16-bit operand in bytes k and k + 1 (k is 0, 2, 4 or 6).
    std::uint16_t Operand16(std::size_t k) const {
        return static_cast<std::uint16_t>(operands[k] | (operands[k + 1] << 8));
    }
    void SetOperand16(std::size_t k, std::uint16_t value) {
        operands[k] = static_cast<std::uint8_t>(value & 0xFF);
        operands[k + 1] = static_cast<std::uint8_t>(value >> 8);
    }

    bool operator==(const Instruction&) const = default;
};

}  // namespace tw

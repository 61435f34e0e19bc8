#pragma once

#include "model/GameResource.h"
#include "model/Instruction.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tw {

// A behaviour (resource type BHAV): a 12-byte header and a list of instructions.
//
// Data (little-endian): u16 signature (kept as read), u16 instruction count, 8 more header bytes
// (kept as read), then 12 bytes per instruction.
class Behavior final : public GameResource {
public:
    static constexpr std::size_t HeaderSize = 12;
    static constexpr std::size_t InstructionSize = 12;

    // Decoding fails on data shorter than the header or than the instructions it counts; the
    // instructions are empty then.
    bool Decode(std::span<const std::uint8_t> data) override;
    // Header and instructions. False with more instructions than the header's count can say.
    bool Encode(std::vector<std::uint8_t>& out) override;

    // Signature 0x8002, the count (set when writing), then the rest as read.
    std::array<std::uint8_t, HeaderSize> header{0x02, 0x80};
    std::vector<Instruction> instructions;
};

// The instructions reachable from `start`, in breadth-first order, with their targets renumbered
// to the new positions. Exits keep their values; a target that names no instruction becomes
// 0xFC. A start that names no instruction gives an empty list.
std::vector<Instruction> ExtractSubtree(const std::vector<Instruction>& instructions, std::size_t start);

}  // namespace tw

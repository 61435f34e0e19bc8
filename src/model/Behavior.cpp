#include "model/Behavior.h"

#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/Stream.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <new>

namespace tw {

bool Behavior::Decode(std::span<const std::uint8_t> data) {
    instructions.clear();
    ByteReader in(data);
    const auto head = in.Bytes(HeaderSize);
    if (!in.Ok()) return false;
    std::copy(head.begin(), head.end(), header.begin());
    const std::uint16_t count = LoadU16Le(head.data() + 2);
    if (count > in.Remaining() / InstructionSize) return false;
    instructions.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        Instruction instruction;
        instruction.opcode = in.U16Le();
        instruction.trueTarget = in.U8();
        instruction.falseTarget = in.U8();
        const auto operands = in.Bytes(instruction.operands.size());
        std::copy(operands.begin(), operands.end(), instruction.operands.begin());
        instructions.push_back(instruction);
    }
    if (!in.Ok()) instructions.clear();
    return in.Ok();
}

bool Behavior::Encode(std::vector<std::uint8_t>& bytes) {
    if (instructions.size() > std::numeric_limits<std::uint16_t>::max()) return false;
    const auto count = static_cast<std::uint16_t>(instructions.size());
    header[2] = static_cast<std::uint8_t>(count & 0xFF);
    header[3] = static_cast<std::uint8_t>(count >> 8);
    ByteWriter out;
    out.PutBytes(header);
    for (const Instruction& instruction : instructions) {
        out.PutU16Le(instruction.opcode);
        out.PutU8(instruction.trueTarget);
        out.PutU8(instruction.falseTarget);
        out.PutBytes(instruction.operands);
    }
    bytes = out.Take();
    return true;
}

std::vector<Instruction> ExtractSubtree(const std::vector<Instruction>& instructions, std::size_t start) {
    constexpr std::uint8_t NotVisited = 0xFC;
    // New index per old index; targets are single bytes, so 256 entries cover every target.
    std::array<std::uint8_t, 256> map{};
    map.fill(NotVisited);
    map[Instruction::ErrorExit] = Instruction::ErrorExit;
    map[Instruction::TrueExit] = Instruction::TrueExit;
    map[Instruction::FalseExit] = Instruction::FalseExit;

    std::vector<Instruction> result;
    if (start >= map.size()) return result;
    const std::size_t count = instructions.size();
    std::deque<std::size_t> queue{start};
    std::uint8_t next = 0;
    while (!queue.empty()) {
        const std::size_t index = queue.front();
        queue.pop_front();
        if (map[index] != NotVisited) continue;
        if (index >= count) break;
        // Only indexes 0 to 252 are ever visited, so the new numbers stay below 0xFD.
        map[index] = next++;
        const Instruction& instruction = instructions[index];
        for (std::uint8_t target : {instruction.trueTarget, instruction.falseTarget}) {
            if (target < count && map[target] == NotVisited) queue.push_back(target);
        }
        result.push_back(instruction);
    }
    for (Instruction& instruction : result) {
        instruction.trueTarget = map[instruction.trueTarget];
        instruction.falseTarget = map[instruction.falseTarget];
    }
    return result;
}

}  // namespace tw

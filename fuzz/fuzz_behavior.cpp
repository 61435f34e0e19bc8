// Decodes arbitrary bytes as a behaviour, writes it back and extracts subtrees from every start.
#include "model/Behavior.h"
#include "util/MemoryStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::Behavior behavior;
    if (!behavior.Decode(std::span<const std::uint8_t>(data, size))) return 0;
    tw::MemoryStream out;
    if (!behavior.WriteToStream(out)) __builtin_trap();
    const std::vector<std::uint8_t> written = out.Copy();
    // The header and the counted instructions come back byte for byte.
    if (written.size() > size || !std::equal(written.begin(), written.end(), data)) __builtin_trap();

    const std::size_t starts = std::min<std::size_t>(behavior.instructions.size() + 2, 258);
    for (std::size_t start = 0; start < starts; ++start) {
        const std::vector<tw::Instruction> tree = tw::ExtractSubtree(behavior.instructions, start);
        if (tree.size() > 253) __builtin_trap();
        for (const tw::Instruction& instruction : tree) {
            for (std::uint8_t target : {instruction.trueTarget, instruction.falseTarget}) {
                if (target < 0xFC && target >= tree.size()) __builtin_trap();
            }
        }
    }
    return 0;
}

#include "model/Behavior.h"

#include "core/model/ModelFixtures.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::Encoded;

Instruction Jump(std::uint8_t trueTarget, std::uint8_t falseTarget, std::uint16_t opcode = 2) {
    Instruction instruction;
    instruction.opcode = opcode;
    instruction.trueTarget = trueTarget;
    instruction.falseTarget = falseTarget;
    return instruction;
}

TEST(BehaviorTest, DecodesHeaderAndInstructionsAndWritesThemBack) {
    const std::vector<std::uint8_t> bytes = {
        0x07, 0x80, 0x02, 0x00, 0xAA, 0xBB, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x33,  // header: count 2
        0x1C, 0x10, 0x01, 0xFD, 1, 2, 3, 4, 5, 6, 7, 8,                          // call 0x101C
        0x24, 0x00, 0xFE, 0xFF, 0x00, 0x2C, 0x05, 0x00, 0x00, 0x00, 0x04, 0x08,  // dialog row 5
    };
    Behavior behavior;
    MemoryStream stream(bytes);
    ASSERT_TRUE(behavior.LoadFromStream(stream));
    ASSERT_EQ(behavior.instructions.size(), 2u);
    EXPECT_EQ(behavior.instructions[0].opcode, 0x101C);
    EXPECT_TRUE(behavior.instructions[0].IsCall());
    EXPECT_EQ(behavior.instructions[0].trueTarget, 1);
    EXPECT_EQ(behavior.instructions[0].falseTarget, 0xFD);
    EXPECT_EQ(behavior.instructions[0].operands, (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(behavior.instructions[1].Operand16(2), 5);
    EXPECT_EQ(Encoded(behavior), bytes);

    // The count follows the instructions when written.
    behavior.instructions.pop_back();
    const std::vector<std::uint8_t> shorter = Encoded(behavior);
    EXPECT_EQ(shorter.size(), 24u);
    EXPECT_EQ(shorter[2], 1);
    EXPECT_EQ(shorter[11], 0x33);
}

TEST(BehaviorTest, NewBehaviorHasSignature8002) {
    Behavior behavior;
    EXPECT_EQ(Encoded(behavior), (std::vector<std::uint8_t>{0x02, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(BehaviorTest, ShortDataFails) {
    std::vector<std::uint8_t> twoCounted(12 + 12, 0);
    twoCounted[2] = 2;
    for (const auto& bytes : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>(11, 0), twoCounted}) {
        Behavior behavior;
        behavior.instructions.resize(3);
        MemoryStream stream(bytes);
        EXPECT_FALSE(behavior.LoadFromStream(stream)) << bytes.size();
        EXPECT_TRUE(behavior.instructions.empty());
    }
}

TEST(ExtractSubtreeTest, RenumbersReachableInstructionsBreadthFirst) {
    const std::vector<Instruction> code = {
        Jump(3, 1, 10),        // 0
        Jump(0xFE, 0xFF, 11),  // 1
        Jump(0, 0, 12),        // 2: never reached
        Jump(1, 9, 13),        // 3: 9 names no instruction
    };
    const std::vector<Instruction> tree = ExtractSubtree(code, 0);
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0], Jump(1, 2, 10));
    EXPECT_EQ(tree[1], Jump(2, 0xFC, 13));
    EXPECT_EQ(tree[2], Jump(0xFE, 0xFF, 11));

    const std::vector<Instruction> fromThree = ExtractSubtree(code, 3);
    ASSERT_EQ(fromThree.size(), 2u);
    EXPECT_EQ(fromThree[0], Jump(1, 0xFC, 13));
    EXPECT_EQ(fromThree[1], Jump(0xFE, 0xFF, 11));
}

TEST(ExtractSubtreeTest, EdgeStarts) {
    const std::vector<Instruction> selfLoop = {Jump(0, 0xFD), Jump(1, 1)};
    EXPECT_EQ(ExtractSubtree(selfLoop, 1), (std::vector<Instruction>{Jump(0, 0)}));
    EXPECT_EQ(ExtractSubtree(selfLoop, 0), (std::vector<Instruction>{Jump(0, 0xFD)}));
    EXPECT_TRUE(ExtractSubtree(selfLoop, 2).empty());
    EXPECT_TRUE(ExtractSubtree(selfLoop, 0xFE).empty());
    EXPECT_TRUE(ExtractSubtree(selfLoop, 100000).empty());
    EXPECT_TRUE(ExtractSubtree({}, 0).empty());
}

TEST(ExtractSubtreeTest, LongChainStaysBelowTheExits) {
    // 300 instructions chained by true targets: only indexes below 0xFD can be reached.
    std::vector<Instruction> chain;
    for (int i = 0; i < 300; ++i) chain.push_back(Jump(static_cast<std::uint8_t>(std::min(i + 1, 255)), 0xFF));
    const std::vector<Instruction> tree = ExtractSubtree(chain, 0);
    ASSERT_EQ(tree.size(), 253u);
    EXPECT_EQ(tree[251].trueTarget, 252);
    EXPECT_EQ(tree[252].trueTarget, 0xFD);  // index 253 is the error exit
}

}  // namespace
}  // namespace tw

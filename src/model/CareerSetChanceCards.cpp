// CareerSet: the chance cards, decoded from and generated as behaviour code of CarPortal.iff.
#include "model/CareerSet.h"

#include "iff/IFFFile.h"
#include "model/Behavior.h"
#include "model/CardCode.h"
#include "text/TextCodec.h"

#include <algorithm>
#include <new>
#include <optional>

namespace tw {
namespace {

using namespace cardcode;

// Targets are single bytes below the exits, and a call to the next behaviour needs one more.
constexpr std::size_t MaxCardInstructions = 249;
// A target inside a block that is still an index of the block, not an exit.
constexpr std::uint8_t LastBlockIndex = 0xFA;
constexpr std::uint8_t NotLinked = Instruction::FalseExit;

constexpr std::uint16_t OpcodeSetLocal = 0x08;
// The instructions in front of the career blocks of a continuation behaviour.
constexpr std::size_t ContinuationPreambleSize = 4;

Instruction Raw(std::uint16_t opcode, std::array<std::uint8_t, 8> operands, std::uint8_t trueTarget,
                std::uint8_t falseTarget) {
    Instruction instruction;
    instruction.opcode = opcode;
    instruction.operands = operands;
    instruction.trueTarget = trueTarget;
    instruction.falseTarget = falseTarget;
    return instruction;
}

// What the game checks before any card: the Sim works, is at work, and has been so today.
// The root's own success exit is instruction 7; a continuation's is instruction 3. Targets left
// at NotLinked are set to the first career block.
struct Preamble {
    std::vector<Instruction> instructions;
    std::uint8_t successExit;
};

Preamble RootPreamble() {
    constexpr auto E = Instruction::ErrorExit;
    constexpr auto F = Instruction::FalseExit;
    return {{Raw(OpcodeTest, {0x09, 0x00, 0x38, 0x00, 0x00, 0x05, 0x19, 0x12}, 1, E),
             Raw(OpcodeTest, {0x00, 0x00, 0x0B, 0x00, 0x00, 0x05, 0x0A, 0x03}, 2, E),
             Raw(OpcodeTest, {0x18, 0x00, 0x00, 0x00, 0x00, 0x02, 0x12, 0x07}, 3, F),
             Raw(OpcodeSetLocal, {0x00, 0x00, 0x08, 0x00, 0x64, 0x00, 0x07, 0x00}, 4, E),
             Raw(OpcodeTest, {0x00, 0x00, 0x87, 0x00, 0x00, 0x01, 0x08, 0x1A}, 5, F),
             Raw(OpcodeTest, {0x39, 0x00, 0x09, 0x00, 0x00, 0x02, 0x12, 0x07}, 6, NotLinked),
             Raw(OpcodeTest, {0x00, 0x00, 0x07, 0x00, 0x00, 0x01, 0x08, 0x07}, NotLinked, F),
             Raw(OpcodeTest, {0x18, 0x00, 0x01, 0x00, 0x00, 0x05, 0x12, 0x07}, Instruction::TrueExit, E)},
            7};
}

Preamble ContinuationPreamble() {
    constexpr auto E = Instruction::ErrorExit;
    constexpr auto F = Instruction::FalseExit;
    return {{Raw(OpcodeTest, {0x09, 0x00, 0x38, 0x00, 0x00, 0x05, 0x19, 0x12}, 1, E),
             Raw(OpcodeTest, {0x00, 0x00, 0x0B, 0x00, 0x00, 0x05, 0x0A, 0x03}, 2, E),
             Raw(OpcodeTest, {0x18, 0x00, 0x00, 0x00, 0x00, 0x02, 0x12, 0x07}, NotLinked, F),
             Raw(OpcodeTest, {0x18, 0x00, 0x01, 0x00, 0x00, 0x05, 0x12, 0x07}, Instruction::TrueExit, E)},
            3};
}

// Appends to a block with "next" targets: the index that the following instruction will have.
class BlockBuilder {
public:
    std::vector<Instruction> block;

    std::uint8_t Next() const { return static_cast<std::uint8_t>(block.size() + 1); }
    void Add(Instruction instruction, bool trueNext, std::uint8_t falseTarget, bool falseNext = false) {
        instruction.trueTarget = trueNext ? Next() : Instruction::TrueExit;
        instruction.falseTarget = falseNext ? Next() : falseTarget;
        block.push_back(instruction);
    }
    // The last instruction of a card leaves through the behaviour's success exit.
    void EndCard() {
        Instruction& last = block.back();
        const auto next = static_cast<std::uint8_t>(block.size());
        if (last.trueTarget == next) last.trueTarget = Instruction::TrueExit;
        if (last.falseTarget == next) last.falseTarget = Instruction::TrueExit;
    }
};

// The code of one career's cards: a career test, then per job level with card effects a level
// test, the guards of subtracting items, the sounds, the dialog and the effects. Empty when no
// card of the career has items; nullopt when the block cannot fit any behaviour.
std::optional<std::vector<Instruction>> BuildCareerBlock(std::uint16_t careerId, const ChanceCard* cards) {
    constexpr auto E = Instruction::ErrorExit;
    constexpr auto F = Instruction::FalseExit;
    BlockBuilder b;
    b.Add(MakeCareerTest(careerId), true, F);
    std::optional<std::size_t> previousLevelTest;
    for (std::uint16_t level = 0; level < Career::CardCount; ++level) {
        const ChanceCard& card = cards[level];
        if (card.items.empty()) continue;
        // A block that cannot fit even a continuation behaviour fails here, before any index
        // could outgrow the one-byte targets.
        std::size_t cardSize = 2;  // the level test and the dialog
        for (const CardItem& item : card.items) {
            if (item.kind >= 1 && item.kind <= 4) ++cardSize;
            if ((item.kind == 1 || item.kind == 2) && item.parameter == 1) ++cardSize;
        }
        if (ContinuationPreambleSize + b.block.size() + cardSize >= MaxCardInstructions)
            return std::nullopt;
        if (previousLevelTest) b.block[*previousLevelTest].falseTarget = static_cast<std::uint8_t>(b.block.size());
        previousLevelTest = b.block.size();
        b.Add(MakeLevelTest(level), true, F);
        for (const CardItem& item : card.items) {
            const auto amount = static_cast<std::uint16_t>(item.value & 0xFFFF);
            if (item.kind == 2 && item.parameter == 1) {
                const auto variable = static_cast<std::uint16_t>(item.value >> 16);
                b.Add(MakeVariableOp(variable, static_cast<std::uint16_t>((item.value - 1) & 0xFFFF), OperatorAtLeast),
                      true, F);
            } else if (item.kind == 1 && item.parameter == 1) {
                b.Add(MakeBudget(amount, 1), true, F);
            }
        }
        for (const CardItem& item : card.items) {
            if (item.kind == 4) b.Add(MakeSound(static_cast<std::uint16_t>(item.value & 0xFFFF)), true, E);
        }
        b.Add(MakeDialog(card.textRow), true, E);
        for (const CardItem& item : card.items) {
            const auto variable = static_cast<std::uint16_t>(item.value >> 16);
            const auto amount = static_cast<std::uint16_t>(item.value & 0xFFFF);
            if (item.kind == 1) {
                b.Add(MakeBudget(amount, item.parameter == 1 ? 0 : 2), true, 0, true);
            } else if (item.kind == 2) {
                b.Add(MakeVariableOp(variable, amount, item.parameter == 1 ? OperatorSubtract : OperatorAdd), true, E);
            } else if (item.kind == 3) {
                b.Add(MakeVariableOp(variable, amount, OperatorAssign), true, E);
            }
        }
        b.EndCard();
    }
    if (b.block.size() < 2) return std::vector<Instruction>{};
    return std::move(b.block);
}

bool HasBehavior(IFFFile& container, std::uint16_t id) {
    ChunkHandle chunk = 0;
    return container.FindChunk(chunk, TypeBHAV, id);
}

bool AddBehavior(IFFFile& container, std::uint16_t id, Behavior& behavior) {
    // The game reads the first root it finds; an old one that could not be read must not stay
    // in front of the new one.
    if (id == CareerSet::RootCardBehaviorId) {
        while (container.DeleteChunk(TypeBHAV, id)) {
        }
    }
    std::vector<std::uint8_t> encoded;
    try {
        if (!behavior.Encode(encoded)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return container.AddChunk(TypeBHAV, id, "Chance Cards", std::move(encoded));
}

// The cards of career `id` in the card code.
std::array<ChanceCard, Career::CardCount> DecodeCards(const CardBehaviors& found, std::uint16_t id) {
    std::array<ChanceCard, Career::CardCount> cards{};
    for (std::size_t j = 0; j < found.visited; ++j) {
        if (found.ids[j] == 0) continue;
        const std::vector<Instruction>& code = found.code[j].instructions;
        for (const Instruction& careerTest : code) {
            if (!IsCareerTest(careerTest, id) || careerTest.trueTarget > 0xFC) continue;
            const std::vector<Instruction> levels = ExtractSubtree(code, careerTest.trueTarget);
            for (std::uint16_t level = 0; level < Career::CardCount; ++level) {
                ChanceCard& card = cards[level];
                for (const Instruction& levelTest : levels) {
                    if (!IsLevelTest(levelTest, level) || levelTest.trueTarget > 0xFC) continue;
                    for (const Instruction& instruction : ExtractSubtree(levels, levelTest.trueTarget)) {
                        CardItem item;
                        if (instruction.opcode == OpcodeDialog) {
                            card.textRow = instruction.Operand16(2);
                        } else if (DecodeItem(instruction, item)) {
                            card.items.push_back(item);
                        }
                    }
                }
            }
        }
    }
    return cards;
}

}  // namespace

Status CareerSet::LoadChanceCards(IFFFile& chanceCards) {
    ClearCards();
    const CardBehaviors found = CollectCardBehaviors(chanceCards, false);
    // A save replaces the card code whole: code it cannot read would be lost with the cards in it.
    for (std::uint16_t id : found.undecodable) {
        ChunkHandle chunk = 0;
        const ChunkRecord* record = chanceCards.FindChunk(chunk, TypeBHAV, id) ? chanceCards.Store().Resolve(chunk) : nullptr;
        chanceCards.AddProblem({TypeBHAV, id, record != nullptr ? record->label : std::string(),
                                "the chance-card code cannot be decoded", true});
    }
    if (!found.undecodable.empty())
        return Failure("the chance-card code of behaviour " + std::to_string(found.undecodable.front()) +
                           " cannot be decoded",
                       ErrorKind::Damaged);

    for (Career& career : careers) career.cards = DecodeCards(found, career.id);
    // Cards of careers that this careers file does not hold (or that could not be loaded) are
    // kept, so that a save writes them back.
    std::vector<std::uint16_t> others;
    for (std::size_t j = 0; j < found.visited; ++j) {
        if (found.ids[j] == 0) continue;
        for (const Instruction& instruction : found.code[j].instructions) {
            const std::optional<std::uint16_t> id = CareerTestId(instruction);
            if (!id || std::find(others.begin(), others.end(), *id) != others.end()) continue;
            const bool loaded = std::any_of(careers.begin(), careers.end(), [&](const Career& c) { return c.id == *id; });
            if (!loaded) others.push_back(*id);
        }
    }
    std::sort(others.begin(), others.end());
    for (std::uint16_t id : others) {
        std::array<ChanceCard, Career::CardCount> cards = DecodeCards(found, id);
        const bool any = std::any_of(cards.begin(), cards.end(), [](const ChanceCard& c) { return !c.items.empty(); });
        if (any) otherCards.emplace_back(id, std::move(cards));
    }

    ChunkHandle textsChunk = 0;
    if (!chanceCards.FindChunk(textsChunk, TypeSTR, CardTexts::TableId))
        return Failure("the card texts (STR# " + std::to_string(CardTexts::TableId) + ") are missing", ErrorKind::Damaged);
    if (!cardTexts.table.LoadFromIFF(chanceCards, textsChunk))
        return Failure("the card texts (STR# " + std::to_string(CardTexts::TableId) + ") cannot be read",
                       ErrorKind::Damaged);

    // A row is taken when any dialog of the file names it, card or not.
    cardTexts.FreeAll();
    for (auto position = chanceCards.FirstChunkOfType(TypeBHAV); position != chanceCards.NoPosition();) {
        Behavior behavior;
        if (!behavior.LoadFromIFF(chanceCards, chanceCards.NextChunkOfType(position))) continue;
        for (const Instruction& instruction : behavior.instructions) {
            if (instruction.opcode != OpcodeDialog) continue;
            for (std::size_t k : {0, 1, 2, 3, 4, 6}) {
                if (instruction.operands[k] != 0) cardTexts.SetFree(instruction.operands[k], false);
            }
        }
    }
    return {};
}

Status CareerSet::SaveChanceCards(IFFFile& chanceCards) {
    if (Status stored = StoreChanceCards(chanceCards); !stored) return stored;
    return chanceCards.SaveIFFFile();
}

Status CareerSet::StoreChanceCards(IFFFile& chanceCards) {
    auto fail = [](std::string why) -> Status { return Failure(std::move(why)); };
    const CardBehaviors old = CollectCardBehaviors(chanceCards, true);

    // Every career's cards in ascending id order, those of careers that are not loaded included.
    std::vector<std::pair<std::uint16_t, std::string>> ids;
    for (std::size_t career = 0; career < careers.size(); ++career) ids.emplace_back(careers[career].id, CareerName(career));
    for (const auto& other : otherCards) ids.emplace_back(other.first, "#" + std::to_string(other.first));
    std::stable_sort(ids.begin(), ids.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::vector<Instruction>> blocks;
    for (const auto& [id, name] : ids) {
        auto block = BuildCareerBlock(id, CardsOf(id)->data());
        if (!block)
            return fail("the chance cards of the career " + name +
                        " need more behaviour code than one behaviour of CarPortal.iff can hold");
        if (!block->empty()) blocks.push_back(std::move(*block));
    }
    const auto tooMuchCode = [&] {
        return fail("the chance cards need more behaviour code than CarPortal.iff has behaviour ids for");
    };
    const auto notEncoded = [&] { return fail("a chance-card behaviour cannot be encoded"); };

    Behavior behavior;
    behavior.header = {0x02, 0x80, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00};
    Preamble preamble = RootPreamble();
    behavior.instructions = preamble.instructions;
    std::uint16_t currentId = RootCardBehaviorId;
    bool isRoot = true;
    std::optional<std::size_t> lastCareerTest;
    std::size_t nextListed = 0;

    // A continuation takes the next unused id of the old code, else the lowest free one.
    auto continuationId = [&]() -> std::optional<std::uint16_t> {
        while (nextListed < old.ids.size()) {
            const std::uint16_t id = old.ids[nextListed++];
            if (id != 0 && id != currentId && !HasBehavior(chanceCards, id)) return id;
        }
        for (std::uint32_t id = Instruction::FirstCall; id <= Instruction::LastCall; ++id) {
            const auto candidate = static_cast<std::uint16_t>(id);
            if (candidate != currentId && !HasBehavior(chanceCards, candidate)) return candidate;
        }
        return std::nullopt;
    };

    for (const std::vector<Instruction>& block : blocks) {
        std::size_t n = behavior.instructions.size();
        if (n + block.size() >= MaxCardInstructions) {
            if (!lastCareerTest) return tooMuchCode();
            const std::optional<std::uint16_t> nextId = continuationId();
            if (!nextId) return tooMuchCode();
            behavior.instructions[*lastCareerTest].falseTarget = static_cast<std::uint8_t>(n);
            behavior.instructions.push_back(MakeCall(*nextId));
            if (!AddBehavior(chanceCards, currentId, behavior)) return notEncoded();
            preamble = ContinuationPreamble();
            behavior.instructions = preamble.instructions;
            currentId = *nextId;
            isRoot = false;
            lastCareerTest.reset();
            n = behavior.instructions.size();
            if (n + block.size() >= MaxCardInstructions) return tooMuchCode();
        }

        const auto start = static_cast<std::uint8_t>(n);
        if (lastCareerTest) {
            behavior.instructions[*lastCareerTest].falseTarget = start;
        } else if (isRoot) {
            behavior.instructions[5].falseTarget = start;
            behavior.instructions[6].trueTarget = start;
        } else {
            behavior.instructions[2].trueTarget = start;
        }
        for (Instruction instruction : block) {
            for (std::uint8_t* target : {&instruction.trueTarget, &instruction.falseTarget}) {
                if (*target == Instruction::TrueExit) {
                    *target = preamble.successExit;
                } else if (*target <= LastBlockIndex) {
                    *target = static_cast<std::uint8_t>(*target + start);
                }
            }
            behavior.instructions.push_back(instruction);
        }
        lastCareerTest = n;
    }
    if (!AddBehavior(chanceCards, currentId, behavior)) return notEncoded();
    if (!cardTexts.table.SaveToIFF(chanceCards)) return fail("the chance-card texts cannot be stored");
    return {};
}

}  // namespace tw

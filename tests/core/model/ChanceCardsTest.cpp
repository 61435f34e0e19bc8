#include "model/CardCode.h"
#include "model/CareerSet.h"

#include "core/model/ModelFixtures.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using namespace cardcode;
using test::BehaviorBytes;
using test::Group;
using test::IffBytes;
using test::LanguageTableBytes;
using test::OpenContainer;
using test::Targets;

constexpr std::uint8_t E = Instruction::ErrorExit;
constexpr std::uint8_t T = Instruction::TrueExit;
constexpr std::uint8_t F = Instruction::FalseExit;
constexpr std::uint16_t Root = CareerSet::RootCardBehaviorId;

CardItem Sound(std::uint32_t number) { return {4, 2, number}; }
CardItem Budget(bool subtract, std::uint32_t amount) { return {1, subtract ? 1u : 0u, amount}; }
CardItem Skill(bool subtract, std::uint32_t variable, std::uint32_t amount) {
    return {2, subtract ? 1u : 0u, variable << 16 | amount};
}
CardItem Job(std::uint32_t variable, std::uint32_t value) { return {3, 2, variable << 16 | value}; }

ChanceCard Card(std::uint16_t textRow, std::vector<CardItem> items) {
    ChanceCard card;
    card.textRow = textRow;
    card.items = std::move(items);
    return card;
}

CareerSet Careers(const std::vector<std::uint16_t>& ids) {
    CareerSet set;
    for (std::uint16_t id : ids) set.careers.emplace_back().id = id;
    return set;
}

// Card `i` counting through every career's ten cards.
const ChanceCard& CardAt(const CareerSet& set, std::size_t i) {
    return set.careers.at(i / Career::CardCount).cards[i % Career::CardCount];
}

// A card in its plainest code: career test, level test, sound, dialog.
std::vector<Instruction> PlainCard(std::uint16_t careerId, std::uint16_t level, std::uint16_t sound, std::uint16_t row) {
    return {Targets(MakeCareerTest(careerId), 1, F), Targets(MakeLevelTest(level), 2, F),
            Targets(MakeSound(sound), 3, E), Targets(MakeDialog(row), T, E)};
}

std::vector<Instruction> With(std::vector<Instruction> code, const std::vector<Instruction>& more) {
    code.insert(code.end(), more.begin(), more.end());
    return code;
}

std::vector<std::uint8_t> CardTexts() {
    Group english{1, {}};
    for (int row = 0; row < 12; ++row) english.entries.emplace_back("card " + std::to_string(row), "");
    return LanguageTableBytes({english});
}

std::vector<std::uint8_t> CarPortal(const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>& behaviors,
                                    bool withTexts = true) {
    IffBytes file;
    if (withTexts) file.Chunk(TypeSTR, CardTexts::TableId, CardTexts(), "Chance card texts");
    for (const auto& [id, data] : behaviors) file.Chunk(TypeBHAV, id, data);
    return file.bytes;
}

std::vector<Instruction> Code(OpenContainer& c, std::uint16_t id) {
    Behavior behavior;
    EXPECT_TRUE(behavior.LoadFromIFF(c.iff, c.Handle(TypeBHAV, id)));
    return behavior.instructions;
}

TEST(ChanceCardsTest, DecodesEffectsFromTheCardCode) {
    const std::vector<Instruction> code = {
        Targets(MakeCareerTest(5), 1, F),
        Targets(MakeLevelTest(12), 2, 8),  // no card beyond level 9
        Targets(MakeSound(1), T, E),
        Targets(MakeSound(312), 4, E),  // 3
        Targets(MakeDialog(7), 5, E),
        Targets(MakeBudget(100, 2), 6, 6),
        Targets(MakeVariableOp(12, 2, OperatorSubtract), 7, E),
        Targets(MakeVariableOp(JobLevelVariable, 4, OperatorAssign), T, E),
        Targets(MakeLevelTest(3), 3, F),  // 8
        Targets(MakeCareerTest(99), 2, F),
    };
    OpenContainer c(CarPortal({{Root, BehaviorBytes(code)}}));
    CareerSet set = Careers({5, 6});
    ASSERT_TRUE(set.LoadChanceCards(c.iff));
    EXPECT_EQ(set.careers[0].cards[3], Card(7, {Sound(312), Budget(false, 100), Skill(true, 12, 2), Job(JobLevelVariable, 4)}));
    for (std::size_t i = 0; i < set.Count() * Career::CardCount; ++i) {
        if (i != 3) {
            EXPECT_EQ(CardAt(set, i), ChanceCard{}) << i;
        }
    }
    std::string text;
    ASSERT_TRUE(set.cardTexts.table.GetText(11, 0, StringTable::Value, text));
    EXPECT_EQ(text, "card 11");
}

TEST(ChanceCardsTest, FreeRowsLeaveOutEveryRowThatADialogNames) {
    Instruction odd = MakeDialog(0);
    odd.operands = {9, 0, 0x2C, 1, 3, 200, 250, 0};  // byte 5 and byte 7 are not rows
    OpenContainer c(CarPortal({{Root, BehaviorBytes(PlainCard(5, 0, 312, 7))},
                               {0x1500, BehaviorBytes({odd})},
                               {0x1501, {1, 2, 3}}}));
    CareerSet set = Careers({5});
    ASSERT_TRUE(set.LoadChanceCards(c.iff));
    EXPECT_FALSE(set.cardTexts.IsFree(0));
    for (std::uint16_t row = 1; row <= 300; ++row) {
        const bool taken = row == 7 || row == 0x2C || row == 4 || row == 9 || row == 1 || row == 3 ||
                           row == 250;
        EXPECT_EQ(set.cardTexts.IsFree(row), !taken) << row;
    }
}

TEST(ChanceCardsTest, CardTextsAreRequiredButCardCodeIsNot) {
    CareerSet set = Careers({5});
    OpenContainer noTexts(CarPortal({{Root, BehaviorBytes(PlainCard(5, 0, 312, 1))}}, false));
    EXPECT_FALSE(set.LoadChanceCards(noTexts.iff));

    IffBytes badTexts;
    badTexts.Chunk(TypeSTR, CardTexts::TableId, {0xFD, 0xFF, 5, 0});
    OpenContainer unreadable(badTexts.bytes);
    EXPECT_FALSE(set.LoadChanceCards(unreadable.iff));

    OpenContainer noCode(CarPortal({}));
    ASSERT_TRUE(set.LoadChanceCards(noCode.iff));
    EXPECT_EQ(set.careers[0].cards[0], ChanceCard{});
}

TEST(ChanceCardsTest, LoadingAgainReplacesTheCards) {
    OpenContainer c(CarPortal({{Root, BehaviorBytes(PlainCard(5, 2, 312, 1))}}));
    CareerSet set = Careers({5});
    ASSERT_TRUE(set.LoadChanceCards(c.iff));
    ASSERT_TRUE(set.LoadChanceCards(c.iff));
    EXPECT_EQ(set.careers[0].cards[2], Card(1, {Sound(312)}));
}

// The root that SaveChanceCards writes, with the given career blocks linked in.
Behavior SavedRoot(std::vector<Instruction> blocks) {
    Behavior root;
    root.header = {0x02, 0x80, 0, 0, 0x00, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00};
    root.instructions = {
        Targets(Instruction{2, 0, 0, {0x09, 0x00, 0x38, 0x00, 0x00, 0x05, 0x19, 0x12}}, 1, E),
        Targets(Instruction{2, 0, 0, {0x00, 0x00, 0x0B, 0x00, 0x00, 0x05, 0x0A, 0x03}}, 2, E),
        Targets(Instruction{2, 0, 0, {0x18, 0x00, 0x00, 0x00, 0x00, 0x02, 0x12, 0x07}}, 3, F),
        Targets(Instruction{8, 0, 0, {0x00, 0x00, 0x08, 0x00, 0x64, 0x00, 0x07, 0x00}}, 4, E),
        Targets(Instruction{2, 0, 0, {0x00, 0x00, 0x87, 0x00, 0x00, 0x01, 0x08, 0x1A}}, 5, F),
        Targets(Instruction{2, 0, 0, {0x39, 0x00, 0x09, 0x00, 0x00, 0x02, 0x12, 0x07}}, 6, blocks.empty() ? F : 8),
        Targets(Instruction{2, 0, 0, {0x00, 0x00, 0x07, 0x00, 0x00, 0x01, 0x08, 0x07}}, blocks.empty() ? F : 8, F),
        Targets(Instruction{2, 0, 0, {0x18, 0x00, 0x01, 0x00, 0x00, 0x05, 0x12, 0x07}}, T, E),
    };
    root.instructions.insert(root.instructions.end(), blocks.begin(), blocks.end());
    return root;
}

TEST(ChanceCardsTest, SaveWritesGuardsSoundsDialogAndEffects) {
    OpenContainer c(CarPortal({{Root, BehaviorBytes(PlainCard(5, 0, 312, 1))}}));
    CareerSet set = Careers({4, 5});
    ASSERT_TRUE(set.LoadChanceCards(c.iff));
    set.careers[1].cards[0] = ChanceCard{};
    set.careers[1].cards[3] = Card(9, {Budget(true, 250), Skill(true, 12, 2), Sound(311)});
    set.careers[1].cards[5] = Card(10, {Sound(312), Budget(false, 30)});
    set.cardTexts.table.SetText(8, 0, StringTable::Value, "You lost your wallet.");
    ASSERT_TRUE(set.SaveChanceCards(c.iff));

    Behavior expected = SavedRoot({
        Targets(MakeCareerTest(5), 9, F),                           // 8: career 4 has no cards
        Targets(MakeLevelTest(3), 10, 16),                          // 9
        Targets(MakeBudget(250, 1), 11, F),                         // 10: budget guard
        Targets(MakeVariableOp(12, 1, OperatorAtLeast), 12, F),     // 11: skill guard, amount - 1
        Targets(MakeSound(311), 13, E),                             // 12
        Targets(MakeDialog(9), 14, E),                              // 13
        Targets(MakeBudget(250, 0), 15, 15),                        // 14
        Targets(MakeVariableOp(12, 2, OperatorSubtract), 7, E),     // 15: into the success exit
        Targets(MakeLevelTest(5), 17, F),                           // 16
        Targets(MakeSound(312), 18, E),                             // 17
        Targets(MakeDialog(10), 19, E),                             // 18
        Targets(MakeBudget(30, 2), 7, 7),                           // 19
    });
    EXPECT_EQ(c.Data(TypeBHAV, Root), test::Encoded(expected));
    EXPECT_EQ(c.store.Resolve(c.Handle(TypeBHAV, Root))->label, "Chance Cards");
    EXPECT_EQ(c.store.Resolve(c.iff.Chunks().back())->id, Root);

    // Written to the file, texts included, and decoded back: sounds first, then the rest in order.
    OpenContainer saved(c.file.Copy());
    CareerSet again = Careers({4, 5});
    ASSERT_TRUE(again.LoadChanceCards(saved.iff));
    EXPECT_EQ(again.careers[1].cards[3], Card(9, {Sound(311), Budget(true, 250), Skill(true, 12, 2)}));
    EXPECT_EQ(again.careers[1].cards[5], Card(10, {Sound(312), Budget(false, 30)}));
    for (std::size_t i : {0, 1, 2, 10, 11, 12, 14, 16, 19}) EXPECT_EQ(CardAt(again, i), ChanceCard{}) << i;
    std::string text;
    ASSERT_TRUE(again.cardTexts.table.GetText(8, 0, StringTable::Value, text));
    EXPECT_EQ(text, "You lost your wallet.");
}

TEST(ChanceCardsTest, SaveWithoutAnyCardWritesThePreambleOnly) {
    OpenContainer c(CarPortal({{Root, BehaviorBytes(PlainCard(5, 0, 312, 1))}}));
    CareerSet set = Careers({5});
    ASSERT_TRUE(set.LoadChanceCards(c.iff));
    set.careers[0].cards[0] = ChanceCard{};
    ASSERT_TRUE(set.SaveChanceCards(c.iff));
    Behavior expected = SavedRoot({});
    EXPECT_EQ(c.Data(TypeBHAV, Root), test::Encoded(expected));
}

// A career whose one card at level 0 has `sounds` sound items: a block of sounds + 3.
ChanceCard Sounds(std::size_t sounds) {
    return Card(1, std::vector<CardItem>(sounds, Sound(312)));
}

TEST(ChanceCardsTest, BlockReaching249GoesIntoAContinuation) {
    const struct {
        const char* what;
        std::size_t secondBlock;
        std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> behaviors;
        std::uint16_t continuation;  // 0: none
    } cases[] = {
        {"248 fit one behaviour", 120, {}, 0},
        {"249 need a second: lowest free id", 121, {}, 0x1000},
        {"an unrelated behaviour holds 0x1000", 121, {{0x1000, BehaviorBytes({})}}, 0x1001},
        {"the old code's own id is used again", 121,
         {{Root, BehaviorBytes(With(PlainCard(1, 0, 312, 1), {MakeCall(0x1234)}))}, {0x1234, BehaviorBytes({})}},
         0x1234},
    };
    for (const auto& c : cases) {
        OpenContainer container(CarPortal(c.behaviors));
        CareerSet set = Careers({1, 2});
        ASSERT_TRUE(set.LoadChanceCards(container.iff)) << c.what;
        set.careers[0].cards[0] = Sounds(117);                   // block of 120: 8 + 120 = 128
        set.careers[1].cards[0] = Sounds(c.secondBlock - 3);
        ASSERT_TRUE(set.SaveChanceCards(container.iff)) << c.what;
        const std::vector<Instruction> root = Code(container, Root);
        if (c.continuation == 0) {
            EXPECT_EQ(root.size(), 248u) << c.what;
        } else {
            ASSERT_EQ(root.size(), 129u) << c.what;
            EXPECT_EQ(root[8].falseTarget, 128) << c.what;  // the career test leads to the call
            EXPECT_EQ(root[128], MakeCall(c.continuation)) << c.what;
            const std::vector<Instruction> next = Code(container, c.continuation);
            ASSERT_EQ(next.size(), 4u + c.secondBlock) << c.what;
            EXPECT_EQ(next[2].trueTarget, 4) << c.what;
            EXPECT_EQ(next[4], Targets(MakeCareerTest(2), 5, F)) << c.what;
            EXPECT_EQ(next.back().trueTarget, 3) << c.what;  // the continuation's success exit
        }
        if (c.continuation == 0x1001) {
            EXPECT_EQ(container.Count(TypeBHAV, 0x1000), 1) << c.what;
        }

        OpenContainer saved(container.file.Copy());
        CareerSet again = Careers({1, 2});
        ASSERT_TRUE(again.LoadChanceCards(saved.iff)) << c.what;
        EXPECT_EQ(again.careers[0].cards[0], set.careers[0].cards[0]) << c.what;
        EXPECT_EQ(again.careers[1].cards[0], set.careers[1].cards[0]) << c.what;
    }
}

TEST(ChanceCardsTest, SaveFailsWhenCardsCannotBePlaced) {
    // Every id a continuation could take is already used.
    IffBytes crowded;
    crowded.Chunk(TypeSTR, CardTexts::TableId, CardTexts());
    const std::vector<std::uint8_t> empty = BehaviorBytes({});
    for (std::uint32_t id = 0x1000; id <= 0x1FFF; ++id) {
        if (id != Root) crowded.Chunk(TypeBHAV, static_cast<std::uint16_t>(id), empty);
    }
    OpenContainer full(crowded.bytes);
    CareerSet set = Careers({1, 2});
    ASSERT_TRUE(set.LoadChanceCards(full.iff));
    set.careers[0].cards[0] = Sounds(117);
    set.careers[1].cards[0] = Sounds(118);
    const std::vector<std::uint8_t> before = full.file.Copy();
    EXPECT_FALSE(set.SaveChanceCards(full.iff));
    EXPECT_EQ(full.file.Copy(), before);  // nothing written to the file

    const struct {
        const char* what;
        std::size_t sounds;
        bool saved;
    } sizes[] = {
        {"first block of 240 fits the root", 237, true},
        {"first block of 241 does not", 238, false},
        {"a block too large for any behaviour", 300, false},
    };
    for (const auto& s : sizes) {
        OpenContainer c(CarPortal({}));
        CareerSet one = Careers({1});
        ASSERT_TRUE(one.LoadChanceCards(c.iff));
        one.careers[0].cards[0] = Sounds(s.sounds);
        EXPECT_EQ(one.SaveChanceCards(c.iff).Ok(), s.saved) << s.what;
    }
}

TEST(ChanceCardsTest, EachCardBehaviourIsReadOnce) {
    const std::uint16_t X = 0x1100, Y = 0x1101;
    const std::vector<Instruction> card = PlainCard(5, 1, 312, 2);
    const struct {
        const char* what;
        std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> behaviors;
        std::array<std::uint16_t, 8> ids;
        std::size_t visited;
    } cases[] = {
        {"the root calls one behaviour twice",
         {{Root, BehaviorBytes({MakeCall(X), MakeCall(X)})}, {X, BehaviorBytes(card)}},
         {Root, X}, 2},
        {"a behaviour calls the root back",
         {{Root, BehaviorBytes(With(card, {MakeCall(X)}))}, {X, BehaviorBytes({MakeCall(Root)})}},
         {Root, X}, 2},
        {"two behaviours call each other",
         {{Root, BehaviorBytes({MakeCall(X)})}, {X, BehaviorBytes({MakeCall(Y)})},
          {Y, BehaviorBytes(With(card, {MakeCall(X), MakeCall(Root)}))}},
         {Root, X, Y}, 3},
        {"a missing behaviour is listed once as 0",
         {{Root, BehaviorBytes(With(card, {MakeCall(Y), MakeCall(X), MakeCall(Y)}))}, {X, BehaviorBytes({MakeCall(Y)})}},
         {Root, 0, X}, 3},
    };
    for (const auto& c : cases) {
        OpenContainer container(CarPortal(c.behaviors));
        const CardBehaviors found = CollectCardBehaviors(container.iff, false);
        EXPECT_EQ(found.ids, c.ids) << c.what;
        EXPECT_EQ(found.visited, c.visited) << c.what;

        CareerSet set = Careers({5});
        ASSERT_TRUE(set.LoadChanceCards(container.iff)) << c.what;
        EXPECT_EQ(set.careers[0].cards[1], Card(2, {Sound(312)})) << c.what;

        ASSERT_TRUE(set.SaveChanceCards(container.iff)) << c.what;
        EXPECT_EQ(container.Count(TypeBHAV, Root), 1) << c.what;
        OpenContainer saved(container.file.Copy());
        CareerSet again = Careers({5});
        ASSERT_TRUE(again.LoadChanceCards(saved.iff)) << c.what;
        EXPECT_EQ(again.careers[0].cards[1], Card(2, {Sound(312)})) << c.what;
    }
}

TEST(ChanceCardsTest, CollectionStopsAtEightBehaviours) {
    std::vector<Instruction> calls;
    for (std::uint16_t id = 0x1200; id < 0x120A; ++id) calls.push_back(MakeCall(id));
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> behaviors = {{Root, BehaviorBytes(calls)}};
    for (std::uint16_t id = 0x1200; id < 0x120A; ++id) behaviors.emplace_back(id, BehaviorBytes(PlainCard(id, 0, 1, 1)));
    OpenContainer c(CarPortal(behaviors));
    const CardBehaviors found = CollectCardBehaviors(c.iff, true);
    EXPECT_EQ(found.visited, 8u);
    EXPECT_EQ(found.ids, (std::array<std::uint16_t, 8>{Root, 0x1200, 0x1201, 0x1202, 0x1203, 0x1204, 0x1205, 0x1206}));
    // Found behaviours are removed; those beyond the eighth stay.
    EXPECT_EQ(c.Count(TypeBHAV, 0x1206), 0);
    EXPECT_EQ(c.Count(TypeBHAV, 0x1207), 1);
}

// Card code that does not decode holds cards nobody can read: a save, which replaces the card
// code whole, would lose them. The cards are not loaded, and the behaviour is named.
TEST(ChanceCardsTest, CardCodeThatDoesNotDecodeIsNamedAndNotLoaded) {
    const struct {
        const char* what;
        std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> behaviors;
        std::uint16_t unreadable;
    } cases[] = {
        {"the root", {{0x1000, BehaviorBytes({})}, {Root, {0x02, 0x80, 0x05}}}, Root},
        {"a behaviour the root calls", {{Root, BehaviorBytes({MakeCall(0x1000)})}, {0x1000, {1, 2, 3}}}, 0x1000},
    };
    for (const auto& c : cases) {
        OpenContainer container(CarPortal(c.behaviors));
        CareerSet set = Careers({5});
        EXPECT_FALSE(set.LoadChanceCards(container.iff)) << c.what;
        ASSERT_EQ(container.iff.Problems().size(), 1u) << c.what;
        EXPECT_EQ(container.iff.Problems()[0].type, TypeBHAV);
        EXPECT_EQ(container.iff.Problems()[0].id, c.unreadable);
        EXPECT_TRUE(container.iff.Problems()[0].keptBySave);
    }
}

// The cards of a career that is not loaded (left out, or in another careers file) are kept and
// written back among the others, in the order of the careers' ids.
TEST(ChanceCardsTest, CardsOfCareersThatAreNotLoadedAreWrittenBack) {
    OpenContainer container(CarPortal({{Root, BehaviorBytes(With(PlainCard(9, 2, 312, 1), PlainCard(3, 0, 77, 2)))}}));
    CareerSet set = Careers({5});
    ASSERT_TRUE(set.LoadChanceCards(container.iff));
    ASSERT_EQ(set.otherCards.size(), 2u);
    EXPECT_EQ(set.otherCards[0].first, 3);
    EXPECT_EQ(set.otherCards[1].first, 9);
    set.careers[0].cards[1] = Card(3, {Sound(312), Job(CareerVariable, 7)});
    ASSERT_TRUE(set.SaveChanceCards(container.iff));

    OpenContainer saved(container.file.Copy());
    CareerSet again = Careers({3, 5, 9});
    ASSERT_TRUE(again.LoadChanceCards(saved.iff));
    EXPECT_EQ(again.careers[0].cards[0], set.otherCards[0].second[0]);
    EXPECT_EQ(again.careers[1].cards[1], set.careers[0].cards[1]);
    EXPECT_EQ(again.careers[2].cards[2], set.otherCards[1].second[2]);
    EXPECT_TRUE(again.otherCards.empty());
}

TEST(ChanceCardsTest, CopyCardTextsToAllLanguagesCopiesTheCareersCardRows) {
    CareerSet set = Careers({5, 6});
    for (std::uint16_t row = 0; row < 4; ++row) set.cardTexts.table.SetText(row, 3, StringTable::Value, "de" + std::to_string(row));
    set.careers[1].cards[2].textRow = 2;   // career 1, row 1
    set.careers[0].cards[0].textRow = 3;    // career 0: not copied
    set.careers[1].cards[5].textRow = 40;  // beyond the table: skipped
    set.CopyCardTextsToAllLanguages(1, 3);
    for (std::uint16_t slot = 0; slot < 16; ++slot) {
        std::string copied, other;
        set.cardTexts.table.GetText(1, slot, StringTable::Value, copied);
        set.cardTexts.table.GetText(2, slot, StringTable::Value, other);
        EXPECT_EQ(copied, slot == 15 ? "" : "de1") << slot;
        EXPECT_EQ(other, slot == 3 ? "de2" : "") << slot;
    }
    set.CopyCardTextsToAllLanguages(2, 3);  // no such career
}

}  // namespace
}  // namespace tw

#include "ExchangeFixture.h"
#include "core/icons/BmpBytes.h"
#include "exchange/CareerExport.h"
#include "exchange/CareerImport.h"
#include "exchange/ExchangeFormat.h"
#include "icons/BitmapFile.h"
#include "iff/IFFFile.h"
#include "support/ScriptedPort.h"
#include "util/ByteWriter.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::ExchangeGame;
using test::ScriptedPort;
using Outcome = ImportResult::Outcome;

const std::string RestoreQuestion =
    "Question: This file contains a backup of all careers.\n\nAre you sure you want to restore the careers?";

void ExportTo(const std::filesystem::path& path, const ExchangeGame& game, std::uint32_t career) {
    ScriptedPort port;
    ASSERT_TRUE(ExportCareerToFile(path, career, game.careers, game.icons, port));
}

void BackupTo(const std::filesystem::path& path, const ExchangeGame& game) {
    ScriptedPort port;
    ASSERT_TRUE(BackupToFile(path, game.careers, game.icons, port));
}

// What a player sees of a career's cards: per level the items and, when it has one, the
// value texts of its text row in all sixteen slots.
std::vector<std::pair<std::vector<CardItem>, std::vector<std::string>>> CardView(const CareerSet& set,
                                                                                 std::uint32_t career) {
    std::vector<std::pair<std::vector<CardItem>, std::vector<std::string>>> view;
    for (std::uint32_t level = 0; level < 10; ++level) {
        const ChanceCard& card = set.careers[career].cards[level];
        std::vector<std::string> texts;
        if (card.textRow != 0)
            for (std::uint16_t slot = 0; slot < 16; ++slot) {
                std::string text;
                const std::optional<std::string> got = set.cardTexts.Get(card.textRow, slot);
                EXPECT_TRUE(got);
                text = got.value_or("");
                texts.push_back(text);
            }
        view.emplace_back(card.items, texts);
    }
    return view;
}

// Career `to` of `after` holds what career `from` of `before` held, with its own id and icons.
void ExpectCareerCopied(const ExchangeGame& before, std::uint32_t from, const ExchangeGame& after, std::uint32_t to) {
    EXPECT_EQ(test::EncodedTrack(after.careers.careers[to].track), test::EncodedTrack(before.careers.careers[from].track));
    EXPECT_EQ(test::NonEmptyTexts(after.careers.careers[to].texts.table), test::NonEmptyTexts(before.careers.careers[from].texts.table));
    auto expectedCards = CardView(before.careers, from);
    // A card's text only travels with items.
    for (auto& [items, texts] : expectedCards)
        if (items.empty()) texts.clear();
    EXPECT_EQ(CardView(after.careers, to), expectedCards);
    Bitmap icon;
    ASSERT_TRUE(after.icons.GetPopupIcon(after.careers.careers[to].id, icon));
    EXPECT_EQ(icon, test::MakeIcon(84, 63, before.careers.careers[from].id));
    ASSERT_TRUE(after.icons.GetButtonIcon(after.careers.careers[to].id, icon));
    EXPECT_EQ(icon, test::MakeIcon(112, 22, before.careers.careers[from].id));
}

TEST(ImportCareerTrackTest, ReplacesADifferentCareerKeepingItsIdAndIconRow) {
    ExchangeGame original;
    test::BuildStandardGame(original);
    ExchangeGame game;
    test::BuildStandardGame(game);
    game.careers.careers[1].track.handle = 42;
    test::TempFolder folder;
    ExportTo(folder / "business.iff", original, 0);

    ScriptedPort port;
    port.careers.push_back(1);
    const ImportResult result = ImportExchangeFile(folder / "business.iff", game.careers, game.icons, port);

    EXPECT_EQ(result.outcome, Outcome::CareerReplaced);
    EXPECT_EQ(result.careerIndex, 1u);
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{"Trackwright 2: Successfully imported!"}));
    EXPECT_EQ(port.calls.back().message.icon, MessageIcon::Information);
    ExpectCareerCopied(original, 0, game, 1);
    EXPECT_EQ(game.careers.careers[1].id, 3);
    EXPECT_EQ(game.careers.careers[1].track.handle, 42u);  // saving still finds the career's own chunk

    // Rows 1 to 10 were in use. The target's old rows 5, 6, 7 (levels 2, 5, 8) were freed level
    // by level, so the imported texts at levels 0, 3, 6, 9 took 11, then 5, 6 and 7.
    std::vector<std::uint16_t> rows;
    for (std::uint32_t level = 0; level < 10; ++level) rows.push_back(game.careers.careers[1].cards[level].textRow);
    EXPECT_EQ(rows, (std::vector<std::uint16_t>{11, 0, 0, 5, 0, 0, 6, 0, 0, 7}));
    for (std::uint16_t row = 1; row <= 300; ++row) EXPECT_EQ(game.careers.cardTexts.IsFree(row), row > 11) << row;

    // Nothing else moved: the other careers, and the other icons.
    auto expected = test::Snapshot(original);
    auto now = test::Snapshot(game);
    for (std::uint32_t career : {0u, 2u}) {
        EXPECT_EQ(now.tracks[career], expected.tracks[career]);
        EXPECT_EQ(CardView(game.careers, career), CardView(original.careers, career));
    }
    Bitmap icon;
    for (std::uint32_t number : {0u, 1u, 2u, 4u, 5u}) {
        ASSERT_TRUE(game.icons.GetPopupIcon(number, icon));
        EXPECT_EQ(icon, test::MakeIcon(84, 63, number));
    }
}

// A button icon of 8-bit run-length data: colour (x + 2y) mod 5 of a grey table, or, damaged, the
// same data without its end of bitmap.
const std::vector<std::uint32_t> Greys = {0x000000, 0x404040, 0x808080, 0xC0C0C0, 0xFFFFFF};

std::uint8_t GreyAt(std::int32_t x, std::int32_t y) { return static_cast<std::uint8_t>((x + 2 * y) % 5); }

std::vector<std::uint8_t> RunLengthButtonIcon(bool damaged = false) {
    test::IndexPicture picture{.width = 112, .height = 22};
    for (std::int32_t y = 0; y < 22; ++y)
        for (std::int32_t x = 0; x < 112; ++x) picture.indices.push_back(GreyAt(x, y));
    test::BmpLayout layout{.width = 112, .height = 22, .bitsPerPixel = 8, .compression = 1, .coloursUsed = 5,
                           .table = Greys, .pixels = test::RunLengthData(picture, 8, 11)};
    if (damaged) layout.pixels.resize(layout.pixels.size() - 2);
    return test::BmpBytes(layout);
}

TEST(ImportCareerTrackTest, TakesARunLengthCompressedIcon) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    ExportTo(folder / "one.iff", game, 0);
    test::RewriteContainer(folder / "one.iff", folder / "rle.iff",
                           [](IFFFile& container) { test::SetChunk(container, TypeBMP2, 0, RunLengthButtonIcon()); });

    ScriptedPort port;
    port.careers.push_back(2);
    EXPECT_EQ(ImportExchangeFile(folder / "rle.iff", game.careers, game.icons, port).outcome, Outcome::CareerReplaced);
    Bitmap icon;
    ASSERT_TRUE(game.icons.GetButtonIcon(game.careers.careers[2].id, icon));
    Bitmap expected(112, 22);
    for (std::int32_t y = 0; y < 22; ++y)
        for (std::int32_t x = 0; x < 112; ++x) expected.SetPixel(x, y, Greys[GreyAt(x, y)]);
    EXPECT_TRUE(icon.SamePixels(expected));
}

TEST(ImportCareerTrackTest, OneFileOverTwoCareers) {
    ExchangeGame original;
    test::BuildStandardGame(original);
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    ExportTo(folder / "science.iff", original, 1);

    for (std::uint32_t target : {0u, 2u}) {
        ScriptedPort port;
        port.careers.push_back(target);
        EXPECT_EQ(ImportExchangeFile(folder / "science.iff", game.careers, game.icons, port).outcome,
                  Outcome::CareerReplaced);
    }
    ExpectCareerCopied(original, 1, game, 0);
    ExpectCareerCopied(original, 1, game, 2);
    EXPECT_EQ(test::Snapshot(game).ids, (std::vector<std::uint16_t>{1, 3, 4}));
    // Each copy has rows of its own.
    for (std::uint32_t level : {2u, 5u, 8u})
        EXPECT_NE(game.careers.careers[0].cards[level].textRow, game.careers.careers[2].cards[level].textRow);
}

TEST(RestoreTest, PutsEveryCareerBackAtItsIndex) {
    ExchangeGame original;
    test::BuildStandardGame(original);
    test::TempFolder folder;
    BackupTo(folder / "all.iff", original);

    // Restoring over the game it came from changes nothing at all.
    ExchangeGame same;
    test::BuildStandardGame(same);
    ScriptedPort port;
    port.answers.push_back(Answer::Yes);
    EXPECT_EQ(ImportExchangeFile(folder / "all.iff", same.careers, same.icons, port).outcome, Outcome::AllRestored);
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{RestoreQuestion, "trackwright: Successfully restored!"}));
    EXPECT_EQ(port.calls[0].message.buttons, MessageButtons::YesNo);
    EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Question);
    EXPECT_EQ(test::Snapshot(same), test::Snapshot(original));

    // Over a changed game, careers are matched by index, whatever their ids.
    ExchangeGame changed;
    test::BuildGame(changed, {"A", "B", "C"}, {5, 2, 0});
    ScriptedPort again;
    again.answers.push_back(Answer::Yes);
    EXPECT_EQ(ImportExchangeFile(folder / "all.iff", changed.careers, changed.icons, again).outcome,
              Outcome::AllRestored);
    for (std::uint32_t career = 0; career < 3; ++career) ExpectCareerCopied(original, career, changed, career);
    EXPECT_EQ(test::Snapshot(changed).ids, (std::vector<std::uint16_t>{5, 2, 0}));
}

TEST(RestoreTest, IgnoresOneToThreeBytesAfterTheLastIndex) {
    ExchangeGame original;
    test::BuildStandardGame(original);
    test::TempFolder folder;
    BackupTo(folder / "all.iff", original);
    for (std::size_t extra = 1; extra <= 3; ++extra) {
        test::RewriteContainer(folder / "all.iff", folder / "trailing.iff", [extra](IFFFile& container) {
            ByteWriter info(MakeInformationHeader(ExportTypeBackup));
            info.PutU32Le(2);  // only the third career
            info.PutZeros(extra);
            test::SetChunk(container, TypeINFO, 0, info.Bytes());
        });
        ExchangeGame game;
        test::BuildGame(game, {"A", "B", "C"}, {1, 3, 4});
        const auto before = test::Snapshot(game);
        ScriptedPort port;
        port.answers.push_back(Answer::Yes);
        EXPECT_EQ(ImportExchangeFile(folder / "trailing.iff", game.careers, game.icons, port).outcome,
                  Outcome::AllRestored);
        ExpectCareerCopied(original, 2, game, 2);
        const auto after = test::Snapshot(game);
        EXPECT_EQ(after.tracks[0], before.tracks[0]);
        EXPECT_EQ(after.tracks[1], before.tracks[1]);
    }
}

TEST(RestoreTest, AnIndexListedAgainIsRestoredOnce) {
    ExchangeGame original;
    test::BuildStandardGame(original);
    test::TempFolder folder;
    BackupTo(folder / "all.iff", original);
    test::RewriteContainer(folder / "all.iff", folder / "twice.iff", [](IFFFile& container) {
        ByteWriter info(MakeInformationHeader(ExportTypeBackup));
        for (std::uint32_t career : {1u, 0u, 1u, 1u}) info.PutU32Le(career);
        test::SetChunk(container, TypeINFO, 0, info.Bytes());
    });
    ExchangeGame game;
    test::BuildGame(game, {"A", "B", "C"}, {5, 2, 0});
    ScriptedPort port;
    port.answers.push_back(Answer::Yes);
    EXPECT_EQ(ImportExchangeFile(folder / "twice.iff", game.careers, game.icons, port).outcome, Outcome::AllRestored);
    ExpectCareerCopied(original, 0, game, 0);
    ExpectCareerCopied(original, 1, game, 1);
    EXPECT_EQ(game.careers.careers[2].track.name, "C");
}

TEST(RestoreTest, ABackupOfNoCareersChangesNothing) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    CareerSet none;
    ScriptedPort quiet;
    ASSERT_TRUE(BackupToFile(folder / "none.iff", none, game.icons, quiet));
    const auto before = test::Snapshot(game);
    ScriptedPort port;
    port.answers.push_back(Answer::Yes);
    EXPECT_EQ(ImportExchangeFile(folder / "none.iff", game.careers, game.icons, port).outcome, Outcome::AllRestored);
    EXPECT_EQ(test::Snapshot(game), before);
}

// A file made from an export or a backup of the standard game, then damaged.
struct DamagedFile {
    const char* what;
    bool backup;
    std::function<void(IFFFile&)> edit;
    std::vector<std::string> shown;  // after the restore question, for backups
};

std::vector<std::uint8_t> BitmapBytes(std::int32_t width, std::int32_t height) {
    MemoryStream stream;
    EXPECT_TRUE(SaveBitmapFile(stream, test::MakeIcon(width, height, 1)));
    return stream.Copy();
}

std::vector<std::uint8_t> Info(std::uint32_t type, std::size_t size) {
    auto info = MakeInformationHeader(type);
    info.resize(size);
    return info;
}

auto Delete(ResourceType type, std::uint16_t id) {
    return [=](IFFFile& container) { ASSERT_TRUE(container.DeleteChunk(type, id)); };
}

auto Set(ResourceType type, std::uint16_t id, std::vector<std::uint8_t> data) {
    return [=](IFFFile& container) { test::SetChunk(container, type, id, data); };
}

std::vector<std::uint8_t> Card(std::initializer_list<std::uint8_t> blocks, std::uint32_t count = 10) {
    ByteWriter w;
    w.PutText("CARD");
    w.PutU32Le(count);
    w.PutBytes(std::vector<std::uint8_t>(blocks));
    return w.Take();
}

TEST(ImportFailureTest, EveryRefusedFileLeavesTheGameAsItWas) {
    const std::vector<DamagedFile> cases = {
        {"no INFO 0", false, Delete(TypeINFO, 0), {"Error!: Not a career file!"}},
        {"INFO 0 of 3 bytes", false, Set(TypeINFO, 0, Info(1, 3)), {"Error!: Incorrect information header!"}},
        {"export type 5", false, Set(TypeINFO, 0, Info(5, 32)), {"Error!: Incorrect type!"}},
        {"CAR# missing", false, Delete(TypeCARExport, 0), {"Error!: Can't load the career resource!"}},
        {"CAR# damaged", false, Set(TypeCARExport, 0, {0, 0, 0, 0, 'x'}), {"Error!: File damaged!"}},
        {"STR# missing", false, Delete(TypeSTR, 0), {"Error!: Can't load the strings resource!"}},
        {"STR# damaged", false, Set(TypeSTR, 0, {0xFD, 0xFF, 5, 0, 1, 'a'}), {"Error!: File damaged!"}},
        {"CARD missing", false, Delete(TypeCARD, 0), {"Error!: Can't load the cards resource!"}},
        {"CARD of 7 bytes", false, Set(TypeCARD, 0, {'C', 'A', 'R', 'D', 10, 0, 0}),
         {"Error!: Incorrect cards resource!"}},
        {"CARD wrong name", false, Set(TypeCARD, 0, {'C', 'A', 'R', 'T', 10, 0, 0, 0}),
         {"Error!: Incorrect cards resource!"}},
        {"CARD of 9 blocks", false, Set(TypeCARD, 0, Card({}, 9)), {"Error!: Incorrect cards resource!"}},
        {"CARD blocks missing", false, Set(TypeCARD, 0, Card({0xFF, 0, 0, 0, 0})),
         {"Error!: Incorrect cards resource!"}},
        {"CARD text without end", false, Set(TypeCARD, 0, Card({0, 'a', 'b'})), {"Error!: Incorrect cards resource!"}},
        {"CARD items past the end", false, Set(TypeCARD, 0, Card({0xFF, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0})),
         {"Error!: Incorrect cards resource!"}},
        {"CARD huge item count", false, Set(TypeCARD, 0, Card({0xFF, 0xFF, 0xFF, 0xFF, 0xFF})),
         {"Error!: Incorrect cards resource!"}},
        {"BMP1 missing", false, Delete(TypeBMP1, 0), {"Error!: Can't load the popup resource!"}},
        {"BMP1 83 wide", false, Set(TypeBMP1, 0, BitmapBytes(83, 63)), {"Error!: Couldn't load the popup bitmap!"}},
        {"BMP1 empty", false, Set(TypeBMP1, 0, {}), {"Error!: Couldn't load the popup bitmap!"}},
        {"BMP2 missing", false, Delete(TypeBMP2, 0), {"Error!: Can't load the button resource!"}},
        {"BMP2 23 high", false, Set(TypeBMP2, 0, BitmapBytes(112, 23)), {"Error!: Couldn't load the button bitmap!"}},
        {"BMP2 run-length data without an end of bitmap", false, Set(TypeBMP2, 0, RunLengthButtonIcon(true)),
         {"Error!: Couldn't load the button bitmap!"}},
        {"backup INFO 0 of 20 bytes", true, Set(TypeINFO, 0, Info(2, 20)), {"Error!: Incorrect information header!"}},
        {"track INFO missing", true, Delete(TypeINFO, 2), {"Error!: Can't load the Information header!"}},
        {"track INFO of 3 bytes", true, Set(TypeINFO, 2, Info(1, 3)), {"Error!: Incorrect Information header!"}},
        {"track INFO type 2", true, Set(TypeINFO, 2, Info(2, 32)), {"Error!: Unexpected Export Type!"}},
        {"second track damaged", true, Delete(TypeBMP2, 2), {"Error!: Can't load the button resource!"}},
        {"last track damaged", true, Set(TypeCARD, 3, Card({})), {"Error!: Incorrect cards resource!"}},
        {"index past the careers", true,
         Set(TypeINFO, 0, [] {
             ByteWriter w(MakeInformationHeader(ExportTypeBackup));
             w.PutU32Le(0);
             w.PutU32Le(3);
             return w.Take();
         }()),
         {"Error!: This backup holds a career that this game does not have!"}},
    };

    ExchangeGame source;
    test::BuildStandardGame(source);
    test::TempFolder folder;
    ExportTo(folder / "one.iff", source, 0);
    BackupTo(folder / "all.iff", source);

    for (const DamagedFile& damaged : cases) {
        SCOPED_TRACE(damaged.what);
        test::RewriteContainer(folder / (damaged.backup ? "all.iff" : "one.iff"), folder / "damaged.iff", damaged.edit);
        // The game differs from the source everywhere, icons included, so that any change shows.
        ExchangeGame game;
        test::BuildGame(game, {"A", "B", "C"}, {5, 2, 0});
        const auto before = test::Snapshot(game);
        ScriptedPort port;
        port.careers.push_back(1);
        port.answers.push_back(Answer::Yes);

        const ImportResult result = ImportExchangeFile(folder / "damaged.iff", game.careers, game.icons, port);

        EXPECT_EQ(result.outcome, Outcome::Failed);
        auto shown = damaged.shown;
        if (damaged.backup) shown.insert(shown.begin(), RestoreQuestion);
        EXPECT_EQ(port.Shown(), shown);
        EXPECT_EQ(port.calls.back().message.icon, MessageIcon::Error);
        EXPECT_EQ(test::Snapshot(game), before);
    }
}

TEST(ImportFailureTest, FilesThatAreNoContainers) {
    test::TempFolder folder;
    test::WriteFileBytes(folder / "text.iff", std::vector<std::uint8_t>(100, 'x'));
    const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {folder / "absent.iff", "Error!: Couldn't open this file!"},
        {folder / "text.iff", "Error!: Error while opening this file with OpenIFFFile()!"},
    };
    for (const auto& [path, message] : cases) {
        ExchangeGame game;
        test::BuildStandardGame(game);
        const auto before = test::Snapshot(game);
        ScriptedPort port;
        EXPECT_EQ(ImportExchangeFile(path, game.careers, game.icons, port).outcome, Outcome::Failed);
        EXPECT_EQ(port.Shown(), (std::vector<std::string>{message}));
        EXPECT_EQ(test::Snapshot(game), before);
        EXPECT_FALSE(ReadExportTypeOfFile(path, port).has_value());
    }
}

TEST(ImportFailureTest, IconsThatTheStripsCannotTakeAreTakenBackWhole) {
    ExchangeGame source;
    test::BuildStandardGame(source);
    test::TempFolder folder;
    ExportTo(folder / "one.iff", source, 0);

    // Popup icons 0 to 6, button icons 0 to 5: career id 6 takes a popup icon but no button
    // icon, career id 7 neither.
    const std::vector<std::pair<std::uint32_t, std::string>> cases = {
        {1, "Error!: Couldn't set the button bitmap!"},
        {2, "Error!: Couldn't set the popup bitmap!"},
    };
    for (const auto& [target, message] : cases) {
        ExchangeGame game;
        test::BuildGame(game, {"A", "B", "C"}, {1, 6, 7}, 7, 6);
        const auto before = test::Snapshot(game);
        ScriptedPort port;
        port.careers.push_back(target);
        EXPECT_EQ(ImportExchangeFile(folder / "one.iff", game.careers, game.icons, port).outcome, Outcome::Failed);
        EXPECT_EQ(port.Shown(), (std::vector<std::string>{message}));
        EXPECT_EQ(test::Snapshot(game), before);
    }
}

TEST(ImportCardTextsTest, CardsFindNoFreeRow) {
    ExchangeGame source;
    test::BuildStandardGame(source);
    test::TempFolder folder;
    ExportTo(folder / "one.iff", source, 0);

    ExchangeGame game;
    test::BuildStandardGame(game);
    for (std::uint16_t row = 1; row <= CardTexts::FlaggedRows; ++row) game.careers.cardTexts.SetFree(row, false);
    game.careers.cardTexts.SetFree(257, true);  // beyond what an import may take
    const auto textsBefore = test::NonEmptyTexts(game.careers.cardTexts.table);
    ScriptedPort port;
    port.careers.push_back(2);
    EXPECT_EQ(ImportExchangeFile(folder / "one.iff", game.careers, game.icons, port).outcome, Outcome::CareerReplaced);

    // Told once, though four cards lost their texts.
    EXPECT_EQ(port.Shown(),
              (std::vector<std::string>{"Warning: There is no free chance card text left, so some chance cards were "
                                        "imported without their text.",
                                        "Trackwright 2: Successfully imported!"}));
    for (std::uint32_t level = 0; level < 10; ++level) {
        const ChanceCard& card = game.careers.careers[2].cards[level];
        EXPECT_EQ(card.items, source.careers.careers[0].cards[level].items);
        // Career 2's own rows (levels 1, 4, 7) were freed level by level and taken by levels 3,
        // 6 and 9; level 0 came first and found none.
        EXPECT_EQ(card.textRow == 0, level != 3 && level != 6 && level != 9) << level;
    }
    EXPECT_TRUE(game.careers.cardTexts.IsFree(257));
}

TEST(ImportCardTextsTest, ARowPastTheEndOfTheTableKeepsItsTexts) {
    ExchangeGame source;
    test::BuildStandardGame(source);
    test::TempFolder folder;
    ExportTo(folder / "one.iff", source, 0);

    ExchangeGame game;
    test::BuildStandardGame(game);
    // Rows 1 to 19 are taken by card code elsewhere, though the table holds only 10 rows.
    for (std::uint16_t row = 1; row < 20; ++row) game.careers.cardTexts.SetFree(row, false);
    ScriptedPort port;
    port.careers.push_back(1);
    ASSERT_EQ(ImportExchangeFile(folder / "one.iff", game.careers, game.icons, port).outcome, Outcome::CareerReplaced);
    EXPECT_EQ(game.careers.careers[1].cards[0].textRow, 20);
    EXPECT_EQ(game.careers.cardTexts.table.RowCount(), 20u);
    ExpectCareerCopied(source, 0, game, 1);
}

TEST(ImportCommandTest, AsksForAnExistingFileAndStopsOnCancel) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    const auto before = test::Snapshot(game);
    test::TempFolder folder;
    ExportTo(folder / "one.iff", game, 0);
    BackupTo(folder / "all.iff", game);

    ScriptedPort port;
    port.files.push_back(std::nullopt);
    EXPECT_EQ(CareerImportCommand(game.careers, game.icons, port).outcome, Outcome::Cancelled);
    ASSERT_EQ(port.calls.size(), 1u);
    EXPECT_EQ(port.calls[0].kind, "open");
    const FileChoice& choice = port.calls[0].choice;
    EXPECT_EQ(choice.defaultExtension, "");
    EXPECT_EQ(choice.initialName, "*.iff");
    EXPECT_EQ(choice.filter, "IFF files (*.IFF)|*.iff|All files (*)|*||");
    EXPECT_TRUE(choice.mustExist);
    EXPECT_TRUE(choice.hideReadOnly);

    // No career chosen (the selected one was offered first); No to the restore question.
    ScriptedPort noCareer;
    noCareer.files.push_back(folder / "one.iff");
    noCareer.careers.push_back(std::nullopt);
    EXPECT_EQ(CareerImportCommand(game.careers, game.icons, noCareer, 2).outcome, Outcome::Cancelled);
    EXPECT_TRUE(noCareer.Shown().empty());
    ASSERT_EQ(noCareer.calls.size(), 2u);
    EXPECT_EQ(noCareer.calls[1].selected, std::optional<std::uint32_t>(2));
    ScriptedPort no;
    no.files.push_back(folder / "all.iff");
    no.answers.push_back(Answer::No);
    EXPECT_EQ(CareerImportCommand(game.careers, game.icons, no).outcome, Outcome::Cancelled);
    EXPECT_EQ(no.Shown(), (std::vector<std::string>{RestoreQuestion}));
    EXPECT_EQ(test::Snapshot(game), before);
}

TEST(ImportCommandTest, TheExportTypeDecidesBetweenImportAndRestore) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    ExportTo(folder / "one.iff", game, 0);
    BackupTo(folder / "all.iff", game);
    ScriptedPort port;
    EXPECT_EQ(ReadExportTypeOfFile(folder / "one.iff", port), 1u);
    EXPECT_EQ(ReadExportTypeOfFile(folder / "all.iff", port), 2u);
    EXPECT_TRUE(port.calls.empty());

    // What the command-line tool relies on: the other type is left alone, unasked.
    EXPECT_EQ(ImportExchangeFile(folder / "all.iff", game.careers, game.icons, port, ExportTypeTrack).outcome,
              Outcome::WrongType);
    EXPECT_EQ(ImportExchangeFile(folder / "one.iff", game.careers, game.icons, port, ExportTypeBackup).outcome,
              Outcome::WrongType);
    EXPECT_TRUE(port.calls.empty());

    // An exported track whose header says 2 is taken as a backup; it lists no careers.
    test::RewriteContainer(folder / "one.iff", folder / "two.iff", Set(TypeINFO, 0, Info(2, 32)));
    const auto before = test::Snapshot(game);
    ScriptedPort restore;
    restore.answers.push_back(Answer::Yes);
    EXPECT_EQ(ImportExchangeFile(folder / "two.iff", game.careers, game.icons, restore).outcome, Outcome::AllRestored);
    EXPECT_EQ(restore.Shown(), (std::vector<std::string>{RestoreQuestion, "trackwright: Successfully restored!"}));
    EXPECT_EQ(test::Snapshot(game), before);
}

}  // namespace
}  // namespace tw

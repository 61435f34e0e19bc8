#include "ExchangeFixture.h"
#include "exchange/CareerExport.h"
#include "icons/BitmapFile.h"
#include "iff/IFFFile.h"
#include "support/ScriptedPort.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace tw {
namespace {

using test::ExchangeGame;
using test::ScriptedPort;

// One chunk of a written container, as its header and data stand in the file.
struct RawChunk {
    std::string type;
    std::uint16_t id = 0;
    std::string label;  // the 64-byte label field up to its first NUL
    std::vector<std::uint8_t> data;
};

// Walks the chunks of a written container from offset 64 up to its resource map.
std::vector<RawChunk> RawChunks(const std::vector<std::uint8_t>& bytes) {
    std::vector<RawChunk> chunks;
    if (bytes.size() < 64) return chunks;
    const std::uint32_t mapOffset = LoadU32Be(bytes.data() + 60);
    ByteReader reader(bytes, 64);
    while (reader.Ok() && reader.Offset() < mapOffset) {
        RawChunk chunk;
        const auto type = reader.Bytes(4);
        const std::uint32_t size = reader.U32Be();
        chunk.id = reader.U16Be();
        reader.U16Be();
        const auto label = reader.Bytes(64);
        const auto data = reader.Bytes(size >= 76 ? size - 76 : 0);
        if (!reader.Ok()) break;
        chunk.type.assign(type.begin(), type.end());
        chunk.label.assign(reinterpret_cast<const char*>(label.data()), strnlen(reinterpret_cast<const char*>(label.data()), 64));
        chunk.data.assign(data.begin(), data.end());
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

std::vector<std::uint8_t> SavedContainer(IFFFile& container) {
    MemoryStream out;
    EXPECT_TRUE(container.SaveIFFFile(&out));
    return out.Copy();
}

std::vector<std::uint8_t> BitmapFileOf(const Bitmap& bitmap) {
    MemoryStream stream;
    EXPECT_TRUE(SaveBitmapFile(stream, bitmap));
    return stream.Copy();
}

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> list) { return list; }

std::vector<std::uint8_t> TrackInformation() {
    std::vector<std::uint8_t> info = {1, 0, 0, 0};
    const std::string text = "Exported Career Track v1.0";
    info.insert(info.end(), text.begin(), text.end());
    info.insert(info.end(), {0, 0});
    return info;
}

TEST(ExportCareerTrackTest, WritesTheSixChunksOfTheCareerInOrder) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    const auto before = test::Snapshot(game);
    ScriptedPort port;
    ChunkStore store;
    IFFFile container(store);

    ASSERT_TRUE(ExportCareerTrack(container, 1, 0, game.careers, game.icons, port));

    const auto bytes = SavedContainer(container);
    const auto chunks = RawChunks(bytes);
    ASSERT_EQ(chunks.size(), 6u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"CAR#", "Science"}, {"STR#", "Science"}, {"CARD", "Science"},
        {"BMP1", "Popup"},   {"BMP2", "Button"},  {"INFO", "Information header"}};
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].type, expected[i].first);
        EXPECT_EQ(chunks[i].label, expected[i].second);
        EXPECT_EQ(chunks[i].id, 0);
    }
    EXPECT_EQ(chunks[0].data, test::EncodedTrack(game.careers.careers[1].track));
    EXPECT_EQ(chunks[1].data, test::EncodedTable(game.careers.careers[1].texts.table));
    // Career "Science" has resource id 3, so it carries icon 3 of each strip.
    EXPECT_EQ(chunks[3].data, BitmapFileOf(test::MakeIcon(84, 63, 3)));
    EXPECT_EQ(chunks[4].data, BitmapFileOf(test::MakeIcon(112, 22, 3)));
    EXPECT_EQ(chunks[5].data, TrackInformation());
    EXPECT_EQ(chunks[5].data.size(), 32u);

    // The map lists the types in the order they were added.
    IFFFile reread(store);
    MemoryStream file(bytes);
    reread.AttachFile(file);
    ASSERT_TRUE(reread.OpenIFFFile(nullptr, true));
    const std::vector<ResourceType> types = {TypeCARExport, TypeSTR, TypeCARD, TypeBMP1, TypeBMP2, TypeINFO};
    std::vector<ResourceType> listed;
    for (ResourceType type : reread.Types())
        if (type != TypeRSMP) listed.push_back(type);
    EXPECT_EQ(listed, types);

    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(test::Snapshot(game), before);
}

TEST(ExportCareerTrackTest, EncodesTheChanceCardsBlockByBlock) {
    ExchangeGame game;
    test::BuildGame(game, {"Tiny"}, {0});
    CareerSet& set = game.careers;
    set.ClearCards();
    StringTable& texts = set.cardTexts.table;
    texts = StringTable{};
    texts.SetText(0, 0, StringTable::Value, "Hi");
    texts.SetText(0, 15, StringTable::Value, "Yo");
    texts.SetText(0, 3, StringTable::Comment, "comments are not exported");
    texts.SetText(1, 0, StringTable::Value, "never shown");
    set.careers[0].cards[0] = ChanceCard{1, {{4, 2, 312}}};
    set.careers[0].cards[1] = ChanceCard{2, {}};                     // a text row but no items
    set.careers[0].cards[2] = ChanceCard{0, {{1, 1, 250}}};          // items but no text
    set.careers[0].cards[9] = ChanceCard{0, {{2, 0, 0x000A0002}, {3, 2, 0x00390004}}};

    ScriptedPort port;
    ChunkStore store;
    IFFFile container(store);
    ASSERT_TRUE(ExportCareerTrack(container, 0, 0, set, game.icons, port));
    const auto chunks = RawChunks(SavedContainer(container));
    ASSERT_EQ(chunks.size(), 6u);

    ByteWriter expected;
    expected.PutText("CARD");
    expected.PutU32Le(10);
    // Level 0: all sixteen slots, empty ones included, each slot byte then its NUL-ended text.
    for (std::uint8_t slot = 0; slot < 16; ++slot) {
        expected.PutU8(slot);
        expected.PutCString(slot == 0 ? "Hi" : slot == 15 ? "Yo" : "");
    }
    expected.PutBytes(Bytes({0xFF, 1, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 0x38, 0x01, 0, 0}));
    // Level 1: its text is not carried without items.
    expected.PutBytes(Bytes({0xFF, 0, 0, 0, 0}));
    // Level 2: items only.
    expected.PutBytes(Bytes({0xFF, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0xFA, 0, 0, 0}));
    for (int level = 3; level < 9; ++level) expected.PutBytes(Bytes({0xFF, 0, 0, 0, 0}));
    expected.PutBytes(Bytes({0xFF, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0x02, 0, 0x0A, 0,  //
                             3, 0, 0, 0, 2, 0, 0, 0, 0x04, 0, 0x39, 0}));
    EXPECT_EQ(chunks[2].data, expected.Bytes());
}

TEST(ExportCareerTrackTest, CutsLongNamesInChunkHeadersOnly) {
    ExchangeGame game;
    const std::string name(70, 'N');
    test::BuildGame(game, {name}, {2});
    ScriptedPort port;
    ChunkStore store;
    IFFFile container(store);
    ASSERT_TRUE(ExportCareerTrack(container, 0, 0, game.careers, game.icons, port));
    const auto bytes = SavedContainer(container);
    const auto chunks = RawChunks(bytes);
    ASSERT_EQ(chunks.size(), 6u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(chunks[static_cast<std::size_t>(i)].label, name.substr(0, 63));

    // The resource map names each of the three chunks with the whole name.
    const std::uint32_t mapOffset = LoadU32Be(bytes.data() + 60);
    const std::string map(bytes.begin() + mapOffset, bytes.end());
    std::size_t found = 0;
    for (auto at = map.find(name + '\0'); at != std::string::npos; at = map.find(name + '\0', at + 1)) ++found;
    EXPECT_EQ(found, 3u);
}

TEST(ExportCareerTrackTest, IconsThatCannotBeCutOutGiveEmptyChunksAndMessages) {
    ExchangeGame game;
    test::BuildGame(game, {"Astronaut"}, {7}, 6, 6);  // the strips hold icons 0 to 5 only
    ScriptedPort port;
    ChunkStore store;
    IFFFile container(store);
    ASSERT_TRUE(ExportCareerTrack(container, 0, 0, game.careers, game.icons, port));
    const auto chunks = RawChunks(SavedContainer(container));
    ASSERT_EQ(chunks.size(), 6u);
    EXPECT_TRUE(chunks[3].data.empty());
    EXPECT_TRUE(chunks[4].data.empty());
    EXPECT_EQ(chunks[5].data, TrackInformation());
    const std::string contact = "\n\nContact the author of this program!\n\nPlease report it at the project's issue tracker.";
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{"Error!: Can't load the Popup bitmap!" + contact,
                                                      "Error!: Can't load the Button bitmap!" + contact}));
    EXPECT_EQ(port.calls[0].message.icon, MessageIcon::Error);
}

TEST(ExportCareerTrackTest, RefusesACareerThatDoesNotExist) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    ScriptedPort port;
    ChunkStore store;
    IFFFile container(store);
    EXPECT_FALSE(ExportCareerTrack(container, 3, 0, game.careers, game.icons, port));
    EXPECT_TRUE(container.Chunks().empty());
}

TEST(BackupTest, HoldsSixChunksPerCareerAndTheCareerIndices) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    ScriptedPort port;
    ASSERT_TRUE(BackupToFile(folder / "all.iff", game.careers, game.icons, port));

    const auto chunks = RawChunks(test::ReadFileBytes(folder / "all.iff"));
    ASSERT_EQ(chunks.size(), 19u);
    const std::vector<std::string> types = {"CAR#", "STR#", "CARD", "BMP1", "BMP2", "INFO"};
    for (std::size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(chunks[i].type, types[i % 6]);
        EXPECT_EQ(chunks[i].id, i / 6 + 1);
    }
    EXPECT_EQ(chunks[6].label, "Science");
    EXPECT_EQ(chunks[11].data, TrackInformation());
    std::vector<std::uint8_t> info = {2, 0, 0, 0};
    const std::string text = "Backup of All Careers v1.0";
    info.insert(info.end(), text.begin(), text.end());
    info.insert(info.end(), {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0});
    EXPECT_EQ(chunks[18].type, "INFO");
    EXPECT_EQ(chunks[18].id, 0);
    EXPECT_EQ(chunks[18].label, "Information header");
    EXPECT_EQ(chunks[18].data, info);
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{
                                "trackwright: Successfully backed up!\n\nTo restore the careers, use \"Import\" in the "
                                "\"Career\" menu."}));

    CareerSet none;
    ScriptedPort quiet;
    ASSERT_TRUE(BackupToFile(folder / "none.iff", none, game.icons, quiet));
    const auto empty = RawChunks(test::ReadFileBytes(folder / "none.iff"));
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].data.size(), 32u);
    EXPECT_EQ(empty[0].data[0], 2);
}

TEST(ExportCommandTest, AsksForTheFileAndReplacesIt) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    test::WriteFileBytes(folder / "one.iff", std::vector<std::uint8_t>(5000, 0xEE));
    ScriptedPort port;
    port.files.push_back(folder / "one.iff");

    ASSERT_TRUE(CareerExportCommand(2, game.careers, game.icons, port));

    ASSERT_EQ(port.calls[0].kind, "save");
    const FileChoice& choice = port.calls[0].choice;
    EXPECT_EQ(choice.defaultExtension, "iff");
    EXPECT_EQ(choice.initialName, "Xenobiology.iff");
    EXPECT_EQ(choice.filter, "IFF files (*.IFF)|*.iff||");
    EXPECT_TRUE(choice.promptOverwrite);
    EXPECT_TRUE(choice.existingFoldersOnly);
    EXPECT_EQ(port.Shown(), (std::vector<std::string>{"Trackwright 2: Successfully exported!"}));
    EXPECT_EQ(port.calls.back().message.icon, MessageIcon::Information);
    const auto chunks = RawChunks(test::ReadFileBytes(folder / "one.iff"));
    ASSERT_EQ(chunks.size(), 6u);
    EXPECT_EQ(chunks[0].label, "Xenobiology");
}

TEST(ExportCommandTest, SuggestsTheInternalNameAsAFileName) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    const struct {
        std::string name;  // Windows-1252 bytes
        const char* suggested;
    } cases[] = {
        {"Caf\xE9 owner", "Caf\u00E9 owner.iff"},
        {"A/B: \"C\" <d> | e? *f\\g", "A_B_ _C_ _d_ _ e_ _f_g.iff"},
        {"Tab\there", "Tab_here.iff"},
        {"  Spaced out. . ", "Spaced out.iff"},
        {" . ", "*.iff"},
        {"", "*.iff"},
    };
    for (const auto& c : cases) {
        game.careers.careers[0].track.name = c.name;
        EXPECT_EQ(ExportFileName(game.careers, 0), c.suggested) << c.name;
    }
    EXPECT_EQ(ExportFileName(game.careers, 3), "*.iff");
}

TEST(ExportCommandTest, DoesNothingWithoutASelectionOrAFileName) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    ScriptedPort port;
    EXPECT_FALSE(CareerExportCommand(std::nullopt, game.careers, game.icons, port));
    EXPECT_TRUE(port.calls.empty());

    port.files.push_back(std::nullopt);
    EXPECT_FALSE(CareerExportCommand(0, game.careers, game.icons, port));
    EXPECT_EQ(port.calls.size(), 1u);
}

TEST(ExportCommandTest, AFileThatCannotBeCreatedIsReported) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    for (bool backup : {false, true}) {
        ScriptedPort port;
        port.files.push_back(folder / "missing" / "one.iff");
        const bool done = backup ? CareerBackupCommand(game.careers, game.icons, port)
                                 : CareerExportCommand(0, game.careers, game.icons, port);
        EXPECT_FALSE(done);
        EXPECT_EQ(port.Shown(), (std::vector<std::string>{"Error!: Couldn't create this file!"}));
        EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    }
}

TEST(BackupCommandTest, SuggestsANameAndAddsTheExtension) {
    ExchangeGame game;
    test::BuildStandardGame(game);
    test::TempFolder folder;
    ScriptedPort port;
    port.files.push_back(folder / "all.iff");
    ASSERT_TRUE(CareerBackupCommand(game.careers, game.icons, port));
    const FileChoice& choice = port.calls[0].choice;
    EXPECT_EQ(choice.defaultExtension, "iff");
    EXPECT_EQ(choice.initialName, "Careers backup.iff");
    EXPECT_EQ(choice.filter, "IFF files (*.IFF)|*.iff||");
    EXPECT_TRUE(choice.promptOverwrite);
    EXPECT_TRUE(choice.existingFoldersOnly);
    EXPECT_EQ(RawChunks(test::ReadFileBytes(folder / "all.iff")).size(), 19u);

    ScriptedPort cancelled;
    cancelled.files.push_back(std::nullopt);
    EXPECT_FALSE(CareerBackupCommand(game.careers, game.icons, cancelled));
    EXPECT_EQ(cancelled.calls.size(), 1u);
}

}  // namespace
}  // namespace tw

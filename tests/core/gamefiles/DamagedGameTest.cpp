// Game files with damaged parts: each damage is named by the load, nothing that cannot be read is
// dropped, and a save either keeps the damaged bytes as they were or writes nothing.
#include "edit/GameSave.h"
#include "gamefiles/GameFileLookup.h"
#include "gamefiles/GameLoad.h"
#include "iff/IFFFile.h"
#include "support/CareerIds.h"
#include "support/ScriptedPort.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/MemoryStream.h"

#include "GameFolderFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace tw {
namespace {

using test::GameFolder;
using test::PointAt;
using test::ScriptedPort;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* Work = "ExpansionShared/Work.iff";
constexpr const char* CarPortal = "GameData/Objects/CarPortal.iff";
// The career every damage below is done to: the sample's second.
constexpr std::uint16_t Damaged = 2;

// The bytes of the game file `name` as a load finds it (the sample keeps Work.iff in an archive).
Bytes GameFileBytes(const GameFolder& folder, const std::string& subfolder, const std::string& name) {
    ScriptedPort port;
    GameFileSource source;
    Expected<std::unique_ptr<Stream>> file = OpenGameStream(folder.At(subfolder), name, port, false, source);
    EXPECT_TRUE(file) << file.Reason();
    return file ? (*file)->ReadAll() : Bytes{};
}

// Where a chunk lies in container bytes: its header's offset and its data's size.
struct Place {
    std::uint32_t header = 0;
    std::uint32_t size = 0;
};
Place Find(const Bytes& file, ResourceType type, std::uint16_t id) {
    ChunkStore store;
    IFFFile container(store);
    MemoryStream stream(file);
    container.AttachFile(stream);
    EXPECT_TRUE(container.OpenIFFFile());
    ChunkHandle handle = 0;
    EXPECT_TRUE(container.FindChunk(handle, type, id)) << TypeName(type) << " " << id;
    const ChunkRecord* record = store.Resolve(handle);
    return record != nullptr ? Place{record->dataOffset - 76, record->size} : Place{};
}

bool Holds(const Bytes& file, ResourceType type, std::uint16_t id) {
    ChunkStore store;
    IFFFile container(store);
    MemoryStream stream(file);
    container.AttachFile(stream);
    ChunkHandle handle = 0;
    return container.OpenIFFFile() && container.FindChunk(handle, type, id);
}

// The data of a chunk as a container holds it now.
Bytes ChunkData(const Bytes& file, ResourceType type, std::uint16_t id) {
    const Place place = Find(file, type, id);
    return Bytes(file.begin() + place.header + 76, file.begin() + place.header + 76 + place.size);
}

// Changes the map entry of the chunk at `from` with `id` to offset `to` and id `newId`.
void ChangeMapEntry(Bytes& file, std::uint32_t from, std::uint16_t id, std::uint32_t to, std::uint16_t newId) {
    const std::uint32_t map = LoadU32Be(&file[60]);
    for (std::size_t at = map + 76; at + 6 <= file.size(); ++at) {
        if (LoadU32Le(&file[at]) == from && LoadU16Le(&file[at + 4]) == id) {
            StoreU32Le(&file[at], to);
            StoreU16Le(&file[at + 4], newId);
            return;
        }
    }
    ADD_FAILURE() << "no map entry for offset " << from;
}

struct Damage {
    const char* name;
    const char* file;  // the game file damaged, with '/'
    std::function<void(Bytes&)> damage;
    // What the load gives.
    int loadResult;
    std::vector<std::uint16_t> leftOut;  // careers that are not loaded
    bool cardsDisabled;
    const char* problem;  // part of the reason of one problem named; empty for none
    // Whether a save writes the careers: false when it would lose what cannot be read.
    bool careersSaved;
};

class DamagedGameTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedGameTest, IsNamedAndNeverDroppedBySave) {
    const Damage& damage = GetParam();
    GameFolder folder;
    const bool careers = std::string(damage.file) == Work;
    Bytes bytes = careers ? GameFileBytes(folder, "ExpansionShared", "Work.iff") : folder.Read(damage.file);
    damage.damage(bytes);
    folder.Write(damage.file, bytes);

    GameContext context;
    PointAt(context, folder);
    ASSERT_TRUE(context.TakeInstallation(Installation::Intent::Write));
    ScriptedPort port;
    ASSERT_EQ(RunLoad(context, port), damage.loadResult);
    const std::vector<GameFileProblem> problems = context.Problems();
    if (std::string(damage.problem).empty()) {
        EXPECT_TRUE(problems.empty()) << ListProblems(problems);
    } else {
        const bool named = std::any_of(problems.begin(), problems.end(), [&](const GameFileProblem& p) {
            return p.file == damage.file && p.chunk.reason.find(damage.problem) != std::string::npos;
        });
        EXPECT_TRUE(named) << ListProblems(problems);
        // The person is told, in one place.
        std::string shown = testing::PrintToString(port.Shown());
        for (const auto& call : port.calls) shown += call.message.detail;
        EXPECT_NE(shown.find(damage.problem), std::string::npos) << shown;
    }
    if (damage.loadResult != LoadRequest::Loaded) return;
    for (std::uint16_t id : damage.leftOut) {
        const std::vector<std::uint16_t> ids = test::CareerIds(context.careerSet);
        EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 0) << id;
    }
    EXPECT_EQ(context.careerSet.leftOut, damage.leftOut);
    EXPECT_EQ(context.chanceCardsDisabled != 0, damage.cardsDisabled);

    // Every career that loaded is edited, so that the save has something to write.
    for (Career& career : context.careerSet.careers) career.track.levels.at(0).values[17] += 1;
    const Bytes before = folder.Read(damage.file);
    port.calls.clear();
    EXPECT_EQ(SaveGameFiles(context, port), damage.careersSaved) << testing::PrintToString(port.Shown());
    const Bytes after = folder.Read(damage.file);
    if (!damage.careersSaved) {
        EXPECT_EQ(after, before);
        EXPECT_EQ(port.Shown().size(), 1u);
        return;
    }
    if (damage.cardsDisabled || !careers) {
        // Chance cards that cannot be edited leave their file alone.
        if (!careers) {
            EXPECT_EQ(after, before);
        }
        return;
    }
    // The damaged career's chunks are written back as they were read.
    for (std::uint16_t id : damage.leftOut) {
        for (ResourceType type : {TypeCARR, TypeSTR}) {
            if (!Holds(before, type, id)) continue;
            EXPECT_EQ(ChunkData(after, type, id), ChunkData(before, type, id)) << TypeName(type) << " " << id;
        }
    }
}

const Damage Damages[] = {
    {"the header of a career's chunk overwritten", Work,
     [](Bytes& file) {
         const Place carr = Find(file, TypeCARR, Damaged);
         std::fill_n(file.begin() + carr.header, 20, std::uint8_t{0xEE});
     },
     LoadRequest::Loaded, {Damaged}, false, "impossible size", false},
    {"a career's job levels that do not decode", Work,
     [](Bytes& file) {
         const Place carr = Find(file, TypeCARR, Damaged);
         file[carr.header + 76 + 8] = 'X';  // "RRAC" no more
     },
     LoadRequest::Loaded, {Damaged}, false, "job levels cannot be decoded", true},
    {"a career's texts that do not decode", Work,
     [](Bytes& file) {
         const Place texts = Find(file, TypeSTR, Damaged);
         file[texts.header + 76 + 4] = 0;  // the first entry's language code: no language
     },
     LoadRequest::Loaded, {Damaged}, false, "texts cannot be decoded", true},
    {"a career's texts missing", Work,
     [](Bytes& file) {
         // The table gets another id, in its header and in the map.
         const Place texts = Find(file, TypeSTR, Damaged);
         file[texts.header + 8] = 29999 >> 8;
         file[texts.header + 9] = 29999 & 0xFF;
         ChangeMapEntry(file, texts.header, Damaged, texts.header, 29999);
     },
     LoadRequest::Loaded, {Damaged}, false, "has no texts", true},
    {"a map entry pointing at another chunk", Work,
     [](Bytes& file) {
         const Place carr = Find(file, TypeCARR, Damaged);
         const Place texts = Find(file, TypeSTR, Damaged);
         ChangeMapEntry(file, carr.header, Damaged, texts.header, Damaged);
     },
     LoadRequest::Loaded, {}, false, "where the chunk header names STR#", true},
    {"zeros after the last chunk", Work, [](Bytes& file) { file.insert(file.end(), 300, 0); },
     LoadRequest::Loaded, {}, false, "", true},
    {"stray bytes after the last chunk", Work, [](Bytes& file) { file.insert(file.end(), 300, 0x55); },
     LoadRequest::Loaded, {}, false, "belong to no chunk", false},
    {"the file cut short in a career's texts", Work,
     [](Bytes& file) {
         const Place texts = Find(file, TypeSTR, Damaged);
         file.resize(texts.header + 76 + texts.size / 2);
     },
     // Every career from the cut on is lost with it, and named.
     LoadRequest::Loaded, {2, 3, 4, 5, 6, 7, 8, 9, 10}, false, "past the end of the file", false},
    {"no career that decodes", Work,
     [](Bytes& file) {
         for (std::uint16_t id = 1; id < 200; ++id) {
             ChunkStore store;
             IFFFile container(store);
             MemoryStream stream(file);
             container.AttachFile(stream);
             container.OpenIFFFile();
             ChunkHandle handle = 0;
             if (!container.FindChunk(handle, TypeCARR, id)) continue;
             file[store.Resolve(handle)->dataOffset + 8] = 'X';
         }
     },
     LoadRequest::Failed, {}, false, "job levels cannot be decoded", false},
    {"stray bytes in the chance-card file", CarPortal, [](Bytes& file) { file.insert(file.end(), 80, 0x55); },
     LoadRequest::Loaded, {}, true, "belong to no chunk", true},
    {"chance-card code that does not decode", CarPortal,
     [](Bytes& file) {
         const Place root = Find(file, TypeBHAV, CareerSet::RootCardBehaviorId);
         StoreU16Le(&file[root.header + 76 + 2], 0xFFFF);  // more instructions than the data hold
     },
     LoadRequest::Loaded, {}, true, "chance-card code cannot be decoded", true},
};

INSTANTIATE_TEST_SUITE_P(Damages, DamagedGameTest, ::testing::ValuesIn(Damages), [](const auto& param) {
    std::string name = param.param.name;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

// Cards of careers that the careers file does not hold are kept through a save, as they were.
TEST(DamagedGameCardsTest, CardsOfACareerThatIsNotLoadedSurviveASave) {
    GameFolder folder;
    Bytes work = GameFileBytes(folder, "ExpansionShared", "Work.iff");
    const Place carr = Find(work, TypeCARR, Damaged);
    work[carr.header + 76 + 8] = 'X';
    folder.Write(Work, work);

    GameContext context;
    PointAt(context, folder);
    ASSERT_TRUE(context.TakeInstallation(Installation::Intent::Write));
    ScriptedPort port;
    ASSERT_EQ(RunLoad(context, port), LoadRequest::Loaded);
    const auto* kept = context.careerSet.CardsOf(Damaged);
    ASSERT_NE(kept, nullptr);
    const auto cards = *kept;
    EXPECT_TRUE(std::any_of(cards.begin(), cards.end(), [](const ChanceCard& c) { return !c.items.empty(); }));
    ASSERT_TRUE(SaveGameFiles(context, port));

    GameContext again;
    PointAt(again, folder);
    ASSERT_EQ(RunLoad(again, port), LoadRequest::Loaded);
    ASSERT_NE(again.careerSet.CardsOf(Damaged), nullptr);
    EXPECT_EQ(*again.careerSet.CardsOf(Damaged), cards);
}

}  // namespace
}  // namespace tw

#include "iff/IFFFile.h"

#include "support/IffBytes.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace tw {
namespace {

using test::IffBytes;
using test::ToBytes;
using KeyList = std::vector<std::pair<std::string, std::uint16_t>>;

struct Opened {
    ChunkStore store;
    IFFFile container{store};
    bool ok = false;
    int error = -1;
    explicit Opened(const std::vector<std::uint8_t>& bytes) {
        MemoryStream file(bytes);
        container.AttachFile(file);
        ok = container.OpenIFFFile(&error, true);
    }
    KeyList List() const {
        KeyList out;
        for (ChunkHandle h : container.Chunks()) {
            const ChunkRecord* r = store.Resolve(h);
            out.emplace_back(TypeName(r->type), r->id);
        }
        return out;
    }
    std::vector<std::uint8_t> Data(ResourceType type, std::uint16_t id) {
        MemoryStream out;
        EXPECT_TRUE(container.WriteChunkData(type, id, out));
        return out.Copy();
    }
    const ChunkRecord& Record(ResourceType type, std::uint16_t id) {
        ChunkHandle h = 0;
        EXPECT_TRUE(container.FindChunk(h, type, id));
        return *store.Resolve(h);
    }
};

TEST(IFFFileTest, SequentialScanReadsChunksInFileOrderAndLazily) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 7, ToBytes("abc"), "seven");
    file.Chunk(TypeCARR, 2, ToBytes("xy"));
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.container.GetVersion(), 20);
    EXPECT_EQ(o.List(), (KeyList{{"STR#", 7}, {"CARR", 2}}));
    EXPECT_FALSE(o.Record(TypeSTR, 7).dataLoaded);  // opening reads headers only
    EXPECT_EQ(o.Record(TypeSTR, 7).label, "seven");
    EXPECT_EQ(o.Data(TypeSTR, 7), ToBytes("abc"));
    EXPECT_TRUE(o.Record(TypeSTR, 7).dataLoaded);
    EXPECT_EQ(o.container.Types(), (std::vector<ResourceType>{TypeSTR, TypeCARR}));
}

TEST(IFFFileTest, OpenFailsWithItsCodes) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        int code;
    };
    IffBytes wrongVersion("2.1");
    std::vector<std::uint8_t> notIff = IffBytes().bytes;
    notIff[3] = 'x';
    const Case cases[] = {
        {notIff, IFFFile::ErrorNotIFF},
        {wrongVersion.bytes, IFFFile::ErrorBadVersion},
        {ToBytes("IFF"), IFFFile::ErrorNotIFF},
        {{}, IFFFile::ErrorNotIFF},
    };
    for (const auto& c : cases) {
        Opened o(c.bytes);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.error, c.code);
    }
    ChunkStore store;
    IFFFile detached(store);
    int error = 0;
    EXPECT_FALSE(detached.OpenIFFFile(&error, true));
    EXPECT_EQ(error, IFFFile::ErrorNoFile);
}

TEST(IFFFileTest, HeaderOnlyFileOpensEmpty) {
    Opened o(IffBytes().bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_TRUE(o.container.Chunks().empty());
    // A truncated header with the right signature and version opens empty as well.
    std::vector<std::uint8_t> shortFile = IffBytes().bytes;
    shortFile.resize(20);
    Opened s(shortFile);
    EXPECT_TRUE(s.ok);
    EXPECT_TRUE(s.container.Chunks().empty());
}

TEST(IFFFileTest, VersionTwoIgnoresTheMapOffset) {
    IffBytes file("2.0");
    const auto at = file.Chunk(TypeSTR, 1, ToBytes("a"));
    file.Map({{TypeSTR, 9, at, 0x10, ""}});  // would add a bogus key if it were read
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.List(), (KeyList{{"STR#", 1}, {"rsmp", 0}}));
}

TEST(IFFFileTest, MapOrderWinsAndScanRecordIsKept) {
    IffBytes file;
    const auto a = file.Chunk(TypeCARR, 1, ToBytes("one"), "scan label");
    const auto b = file.Chunk(TypeSTR, 1, ToBytes("two"));
    const auto hidden = file.Chunk(TypeBHAV, 3, ToBytes("hid"), "hidden", 0x0014);
    file.Map({{TypeSTR, 1, b, 0x10, ""}, {TypeBHAV, 3, hidden, 0x14, "hidden"}, {TypeCARR, 1, a, 0x10, "map label"}});
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    // Map order (types in map order), then what only the scan found: the map chunk itself.
    EXPECT_EQ(o.List(), (KeyList{{"STR#", 1}, {"BHAV", 3}, {"CARR", 1}, {"rsmp", 0}}));
    EXPECT_EQ(o.Record(TypeCARR, 1).label, "scan label");
    // Flags bit 0x0004 keeps a chunk out of the scan, but the map still lists it.
    EXPECT_EQ(o.Data(TypeBHAV, 3), ToBytes("hid"));
}

TEST(IFFFileTest, MapEntryWithUnreadableHeaderIsDropped) {
    IffBytes file;
    const auto a = file.Chunk(TypeSTR, 1, ToBytes("x"));
    file.Map({{TypeSTR, 1, a, 0x10, ""}, {TypeSTR, 2, 0x00FFFFFF, 0x10, ""}});
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.List(), (KeyList{{"STR#", 1}, {"rsmp", 0}}));
}

TEST(IFFFileTest, MapRunningPastItsDataEndsTheMapQuietly) {
    IffBytes file;
    const auto a = file.Chunk(TypeSTR, 1, ToBytes("x"));
    // A map claiming 5 types but holding one entry.
    std::vector<std::uint8_t> map = {0, 0, 0, 0, 0, 0, 0, 0, 'p', 'm', 's', 'r', 0, 0, 0, 0, 5, 0, 0, 0,
                                     '#', 'R', 'T', 'S', 9, 0, 0, 0};
    map.push_back(static_cast<std::uint8_t>(a));
    map.insert(map.end(), {0, 0, 0, 1, 0, 0x10, 0, 0});
    file.SetMapOffset(file.Chunk(TypeRSMP, 0, map));
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.List(), (KeyList{{"STR#", 1}, {"rsmp", 0}}));
}

TEST(IFFFileTest, ScanStopsAtABadSizeAndKeepsEarlierChunks) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 1, ToBytes("x"));
    const auto bad = file.Chunk(TypeSTR, 2, ToBytes("y"));
    file.Chunk(TypeSTR, 3, ToBytes("z"));
    file.bytes[bad + 7] = 10;  // size 10 < 76
    file.bytes[bad + 4] = file.bytes[bad + 5] = file.bytes[bad + 6] = 0;
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.List(), (KeyList{{"STR#", 1}}));
}

TEST(IFFFileTest, DuplicateKeysEndAsOneNodeHoldingTheLaterChunk) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 4, ToBytes("first"));
    file.Chunk(TypeCARR, 1, {});
    file.Chunk(TypeSTR, 4, ToBytes("second"));
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.List(), (KeyList{{"STR#", 4}, {"CARR", 1}}));
    EXPECT_EQ(o.Data(TypeSTR, 4), ToBytes("second"));
    // A chunk of size 76 is empty.
    EXPECT_EQ(o.Record(TypeCARR, 1).size, 0u);
    EXPECT_TRUE(o.Data(TypeCARR, 1).empty());
}

TEST(IFFFileTest, AscendingIdWalkVisitsEachIdOnce) {
    IffBytes file("2.0");
    for (int id : {5, 2, 9}) file.Chunk(TypeSTR, static_cast<std::uint16_t>(id), {});
    file.Chunk(TypeCARR, 1, {});
    Opened o(file.bytes);
    std::vector<std::uint16_t> seen;
    for (auto pos = o.container.LowestIdChunk(TypeSTR); pos != o.container.NoPosition();
         o.container.NextHigherIdChunk(pos))
        seen.push_back(o.store.Resolve(o.container.HandleAt(pos))->id);
    EXPECT_EQ(seen, (std::vector<std::uint16_t>{2, 5, 9}));

    std::vector<std::uint16_t> inOrder;
    for (auto pos = o.container.FirstChunkOfType(TypeSTR); pos != o.container.NoPosition();)
        inOrder.push_back(o.store.Resolve(o.container.NextChunkOfType(pos))->id);
    EXPECT_EQ(inOrder, (std::vector<std::uint16_t>{5, 2, 9}));
    EXPECT_EQ(o.container.CountChunksOfType(TypeSTR, false), 3u);
    EXPECT_EQ(o.container.CountChunksOfType(TypeSTR, true), 0u);
}

TEST(IFFFileTest, AddReplaceDeleteKeepTheTypeListUpToDate) {
    Opened o(IffBytes().bytes);
    MemoryStream one(ToBytes("one"));
    MemoryStream two(ToBytes("two"));
    ASSERT_TRUE(o.container.AddChunk(TypeSTR, 1, "a", one));
    ASSERT_TRUE(o.container.AddChunk(TypeSTR, 1, "b", two));  // appended, not merged
    EXPECT_EQ(o.Data(TypeSTR, 1), ToBytes("one"));            // lookups find the older one
    EXPECT_EQ(o.Record(TypeSTR, 1).flags, 0x0010);
    EXPECT_EQ(o.container.Types(), (std::vector<ResourceType>{TypeSTR}));

    ASSERT_TRUE(o.container.AddChunk(TypeCARR, 2, "", one));
    ASSERT_TRUE(o.container.ReplaceChunkData(TypeCARR, 2, two));
    EXPECT_EQ(o.Data(TypeCARR, 2), ToBytes("two"));
    EXPECT_FALSE(o.container.ReplaceChunkData(TypeCARR, 3, two));

    ASSERT_TRUE(o.container.DeleteChunk(TypeCARR, 2));
    EXPECT_EQ(o.container.Types(), (std::vector<ResourceType>{TypeSTR}));
    EXPECT_FALSE(o.container.DeleteChunk(TypeCARR, 2));
    ASSERT_TRUE(o.container.DeleteChunk(TypeSTR, 1));
    EXPECT_EQ(o.Data(TypeSTR, 1), ToBytes("two"));
}

// Loaded chunks are views of the bytes read at opening: they stay readable, and are written as
// they were, after the file is closed, another one attached and the data of others replaced.
TEST(IFFFileTest, UnchangedChunksKeepTheFilesBytesBeyondTheFile) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 1, ToBytes("kept as read"), "one");
    file.Chunk(TypeCARR, 2, ToBytes("replaced"));
    file.Chunk(TypeBHAV, 3, ToBytes("never loaded"));
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    ChunkHandle kept = 0;
    ASSERT_TRUE(o.container.FindChunk(kept, TypeSTR, 1));
    ASSERT_TRUE(o.container.EnsureChunkLoaded(kept));
    ASSERT_TRUE(o.container.ReplaceChunkData(TypeCARR, 2, ToBytes("new data")));
    EXPECT_TRUE(o.store.Resolve(kept)->SharesData());
    EXPECT_FALSE(o.Record(TypeCARR, 2).SharesData());

    MemoryStream other(IffBytes("2.0").bytes);
    o.container.AttachFile(other);
    ChunkHandle unloaded = 0;
    ASSERT_TRUE(o.container.FindChunk(unloaded, TypeBHAV, 3));
    EXPECT_FALSE(o.container.EnsureChunkLoaded(unloaded));  // its file is gone
    ASSERT_TRUE(o.container.DeleteChunk(TypeBHAV, 3));
    o.container.CloseFile();

    MemoryStream saved;
    ASSERT_TRUE(o.container.SaveIFFFile(&saved));
    Opened reread(saved.Copy());
    EXPECT_EQ(reread.List(), (KeyList{{"STR#", 1}, {"CARR", 2}, {"rsmp", 0}}));
    EXPECT_EQ(reread.Data(TypeSTR, 1), ToBytes("kept as read"));
    EXPECT_EQ(reread.Record(TypeSTR, 1).label, "one");
    EXPECT_EQ(reread.Data(TypeCARR, 2), ToBytes("new data"));
}

// The lookups by key go through an index: after any mix of adds (duplicates included) and
// deletes they find what a walk of the list in order finds.
TEST(IFFFileTest, LookupsAgreeWithTheListAfterAddsAndDeletes) {
    Opened o(IffBytes().bytes);
    std::uint32_t seed = 7;
    auto next = [&seed](std::uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (int step = 0; step < 400; ++step) {
        const ResourceType type = next(2) == 0 ? TypeSTR : TypeBHAV;
        const auto id = static_cast<std::uint16_t>(next(12));
        if (next(3) == 0)
            o.container.DeleteChunk(type, id);
        else
            ASSERT_TRUE(o.container.AddChunk(type, id, std::to_string(step), ToBytes("x")));

        for (ResourceType t : {TypeSTR, TypeBHAV}) {
            // What the list says: the first chunk of each id in list order, ids ascending.
            std::map<std::uint16_t, ChunkHandle> first;
            for (ChunkHandle h : o.container.Chunks())
                if (o.store.Resolve(h)->type == t) first.try_emplace(o.store.Resolve(h)->id, h);
            std::vector<ChunkHandle> walked;
            for (auto pos = o.container.LowestIdChunk(t); pos != o.container.NoPosition(); o.container.NextHigherIdChunk(pos))
                walked.push_back(o.container.HandleAt(pos));
            std::vector<ChunkHandle> expected;
            for (const auto& [key, handle] : first) expected.push_back(handle);
            ASSERT_EQ(walked, expected) << "step " << step;
            for (std::uint16_t key = 0; key < 12; ++key) {
                ChunkHandle found = 0;
                const bool present = o.container.FindChunk(found, t, key);
                ASSERT_EQ(present, first.count(key) == 1) << "step " << step;
                if (present) {
                    ASSERT_EQ(found, first[key]) << "step " << step;
                }
            }
            const bool listed = std::find(o.container.Types().begin(), o.container.Types().end(), t) != o.container.Types().end();
            ASSERT_EQ(listed, !first.empty()) << "step " << step;
        }
    }
}

TEST(IFFFileTest, ClearReleasesEveryRecord) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 1, {});
    file.Chunk(TypeSTR, 2, {});
    Opened o(file.bytes);
    EXPECT_EQ(o.store.LiveRecords(), 2u);
    o.container.Clear();
    EXPECT_EQ(o.store.LiveRecords(), 0u);
    EXPECT_TRUE(o.container.Types().empty());
}

TEST(IFFFileTest, ChunkRunningPastTheFileDoesNotLoad) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 1, ToBytes("abcdef"));
    file.bytes.resize(file.bytes.size() - 2);
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    ASSERT_EQ(o.container.Chunks().size(), 1u);
    EXPECT_FALSE(o.container.LoadAllChunks());
}

}  // namespace
}  // namespace tw

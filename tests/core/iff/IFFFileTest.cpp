#include "iff/IFFFile.h"

#include "support/IffBytes.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::IffBytes;
using test::ToBytes;

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
    std::vector<std::pair<std::string, std::uint16_t>> List() {
        std::vector<std::pair<std::string, std::uint16_t>> out;
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
};

TEST(IFFFileTest, SequentialScanReadsChunksInFileOrder) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 7, ToBytes("abc"), "seven");
    file.Chunk(TypeCARR, 2, ToBytes("xy"));
    Opened o(file.bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.container.GetVersion(), 20);
    EXPECT_EQ(o.List(), (std::vector<std::pair<std::string, std::uint16_t>>{{"STR#", 7}, {"CARR", 2}}));
    EXPECT_EQ(o.Data(TypeSTR, 7), ToBytes("abc"));
    EXPECT_EQ(o.container.Types(), (std::vector<ResourceType>{TypeSTR, TypeCARR}));
}

}  // namespace
}  // namespace tw

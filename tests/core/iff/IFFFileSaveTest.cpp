#include "iff/IFFFile.h"

#include "support/IffBytes.h"
#include "support/TempFolder.h"
#include "util/ByteReader.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace tw {
namespace {

using test::IffBytes;
using test::ToBytes;

std::vector<std::uint8_t> Save(IFFFile& container) {
    MemoryStream out;
    EXPECT_TRUE(container.SaveIFFFile(&out));
    return out.Copy();
}

TEST(IFFFileSaveTest, EmptyContainerIsHeaderAndAnEmptyMap) {
    ChunkStore store;
    IFFFile container(store);
    const auto bytes = Save(container);
    ASSERT_EQ(bytes.size(), 64u + 96u);
    EXPECT_EQ(std::memcmp(bytes.data(), "IFF FILE 2.5:TYPE FOLLOWED BY SIZE\0 QUORVELTASKINE & MAXIS 1", 60), 0);
    EXPECT_EQ(LoadU32Be(&bytes[60]), 64u);
    EXPECT_EQ(std::memcmp(&bytes[64], "rsmp", 4), 0);
    EXPECT_EQ(LoadU32Be(&bytes[68]), 96u);       // map chunk size
    EXPECT_EQ(LoadU16Be(&bytes[74]), 0x0010u);   // flags
    EXPECT_EQ(std::memcmp(&bytes[140 + 8], "pmsr", 4), 0);
    EXPECT_EQ(LoadU32Le(&bytes[140 + 12]), 96u);
    EXPECT_EQ(LoadU32Le(&bytes[140 + 16]), 0u);  // type count
}

TEST(IFFFileSaveTest, ChunkHeadersAndMapEntriesAreExact) {
    ChunkStore store;
    IFFFile container(store);
    const std::string longLabel(70, 'L');
    MemoryStream data(ToBytes("DATA"));
    ASSERT_TRUE(container.AddChunk(TypeSTR, 0x0102, longLabel, data));
    ASSERT_TRUE(container.AddChunk(TypeCARR, 3, "ab", data));  // even label: entry padded
    ASSERT_TRUE(container.AddChunk(TypeSTR, 5, "abc", data));  // odd label: no pad
    const auto bytes = Save(container);

    // First chunk header at 64: label cut to 63 characters and NUL-padded.
    EXPECT_EQ(LoadU32Be(&bytes[64]), TypeSTR);
    EXPECT_EQ(LoadU32Be(&bytes[68]), 80u);
    EXPECT_EQ(LoadU16Be(&bytes[72]), 0x0102u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[76])), std::string(63, 'L'));
    EXPECT_EQ(bytes[76 + 63], 0);

    const std::uint32_t map = LoadU32Be(&bytes[60]);
    EXPECT_EQ(map, 64u + 3 * 80u);
    ByteReader r(bytes, map + 76 + 16);
    EXPECT_EQ(r.U32Le(), 2u);  // STR#, CARR in order of first appearance
    EXPECT_EQ(r.U32Le(), TypeSTR);
    EXPECT_EQ(r.U32Le(), 2u);
    EXPECT_EQ(r.U32Le(), 64u);
    EXPECT_EQ(r.U16Le(), 0x0102u);
    EXPECT_EQ(r.U16Le(), 0x0010u);
    EXPECT_EQ(r.CString(), longLabel);  // whole in the map
    // 20 + 8 + (8 + 71) = 107 bytes into the map data, plus its 76-byte header: odd, so a pad.
    EXPECT_EQ(r.U8(), 0xA3);
    EXPECT_EQ(r.U32Le(), 64u + 2 * 80u);
    EXPECT_EQ(r.U16Le(), 5u);
    r.U16Le();
    EXPECT_EQ(r.CString(), "abc");
    EXPECT_EQ(r.U32Le(), TypeCARR);  // no pad after the odd-length label
    EXPECT_EQ(r.U32Le(), 1u);
    EXPECT_EQ(r.U32Le(), 64u + 80u);
    EXPECT_EQ(r.U16Le(), 3u);
    r.U16Le();
    EXPECT_EQ(r.CString(), "ab");
    EXPECT_EQ(r.U8(), 0xA3);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(LoadU32Le(&bytes[map + 76 + 12]), bytes.size() - map);
    EXPECT_EQ(LoadU32Be(&bytes[map + 4]), bytes.size() - map);
}

TEST(IFFFileSaveTest, OldMapIsDroppedAndReadBackGivesTheSameChunks) {
    IffBytes file;
    const auto a = file.Chunk(TypeCARR, 1, ToBytes("career"), "label");
    const auto b = file.Chunk(TypeSTR, 1, ToBytes("texts"));
    const auto c = file.Chunk(TypeSTR, 0, {});
    file.Map({{TypeCARR, 1, a, 0x10, "label"}, {TypeSTR, 1, b, 0x10, ""}, {TypeSTR, 0, c, 0x10, ""}});
    ChunkStore store;
    IFFFile container(store);
    MemoryStream in(file.bytes);
    container.AttachFile(in);
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    ASSERT_TRUE(container.LoadAllChunks());
    const auto bytes = Save(container);

    ByteReader count(bytes, LoadU32Be(&bytes[60]) + 76 + 16);
    EXPECT_EQ(count.U32Le(), 2u);  // the old map's type is not counted

    IFFFile again(store);
    MemoryStream saved(bytes);
    again.AttachFile(saved);
    ASSERT_TRUE(again.OpenIFFFile(nullptr, true));
    std::vector<std::tuple<ResourceType, std::uint16_t, std::string, std::vector<std::uint8_t>>> before, after;
    for (IFFFile* f : {&container, &again}) {
        auto& list = f == &container ? before : after;
        for (ChunkHandle h : f->Chunks()) {
            ASSERT_TRUE(f->EnsureChunkLoaded(h));
            const ChunkRecord* r = store.Resolve(h);
            if (r->type == TypeRSMP) continue;
            list.emplace_back(r->type, r->id, r->label, std::vector<std::uint8_t>(r->Data().begin(), r->Data().end()));
        }
    }
    EXPECT_EQ(before, after);
    // Writing what was read back gives the same bytes again.
    EXPECT_EQ(Save(again), bytes);
}

class FileSaveTest : public ::testing::Test {
protected:
    std::vector<std::uint8_t> ReadFile(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void WriteFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    test::TempFolder temp{"tw-iff"};
    std::filesystem::path dir = temp.Path();
};

TEST_F(FileSaveTest, SavingOverTheAttachedFileReplacesItAndReadsFromTheNewOne) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 1, ToBytes("old"));
    const auto path = dir / "Work.iff";
    WriteFile(path, file.bytes);

    ChunkStore store;
    IFFFile container(store);
    {
        auto handle = FileStream::Open(path, FileMode::ReadWriteShared);
        container.AttachFile(*handle);
    }
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    ASSERT_TRUE(container.LoadAllChunks());
    MemoryStream added(ToBytes("new chunk"));
    ASSERT_TRUE(container.AddChunk(TypeCARR, 2, "added", added));
    ASSERT_TRUE(container.SaveIFFFile());

    const auto onDisk = ReadFile(path);
    EXPECT_EQ(std::memcmp(onDisk.data(), "IFF FILE 2.5", 12), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary left

    // The records point into the new file: reopening from the attached file finds them.
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    MemoryStream out;
    ASSERT_TRUE(container.WriteChunkData(TypeCARR, 2, out));
    EXPECT_EQ(out.Copy(), ToBytes("new chunk"));
}

TEST_F(FileSaveTest, FailedSaveLeavesTheFileAsItWas) {
    IffBytes file("2.0");
    file.Chunk(TypeSTR, 1, ToBytes("kept"));
    file.Chunk(TypeSTR, 2, ToBytes("abcdef"));
    file.bytes.resize(file.bytes.size() - 3);  // the second chunk cannot be loaded
    const auto path = dir / "CarPortal.iff";
    WriteFile(path, file.bytes);

    ChunkStore store;
    IFFFile container(store);
    container.AttachFile(*FileStream::Open(path, FileMode::ReadWriteShared));
    ASSERT_TRUE(container.OpenIFFFile(nullptr, true));
    EXPECT_FALSE(container.SaveIFFFile());
    EXPECT_EQ(ReadFile(path), file.bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

// A stream that accepts `budget` bytes and then fails like a full disk.
class FailingStream final : public Stream {
public:
    explicit FailingStream(std::size_t budget) : budget_(budget) {}
    void Seek(std::int64_t offset, SeekOrigin origin) override { inner_.Seek(offset, origin); }
    std::size_t Read(std::span<std::uint8_t> into) override { return inner_.Read(into); }
    void Write(std::span<const std::uint8_t> bytes) override {
        if (written_ + bytes.size() > budget_) throw FileError("No space left on device");
        written_ += bytes.size();
        inner_.Write(bytes);
    }
    using Stream::Write;
    std::uint64_t Length() const override { return inner_.Length(); }
    std::uint64_t Position() const override { return inner_.Position(); }
    void Truncate(std::uint64_t length) override { inner_.Truncate(length); }
    std::unique_ptr<Stream> Duplicate() const override { return inner_.Duplicate(); }

private:
    MemoryStream inner_;
    std::size_t budget_;
    std::size_t written_ = 0;
};

TEST(IFFFileSaveTest, WriteErrorMakesTheSaveFail) {
    ChunkStore store;
    IFFFile container(store);
    MemoryStream data(ToBytes("x"));
    container.AddChunk(TypeSTR, 1, "", data);
    FailingStream full(100);
    EXPECT_FALSE(container.SaveIFFFile(&full));
    IFFFile detached(store);
    EXPECT_FALSE(detached.SaveIFFFile());  // no target at all
}

}  // namespace
}  // namespace tw

#include "support/TempFolder.h"
#include "util/BackgroundSha256.h"
#include "util/BlockWriter.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileError.h"
#include "util/FileStream.h"
#include "util/MemoryStream.h"
#include "util/ReplaceFileWhole.h"
#include "util/Sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tw {
namespace {

TEST(ByteReaderTest, FailedReadKeepsOffsetAndFailureSticks) {
    const std::vector<std::uint8_t> bytes = {0x01, 0x02, 0x03, 'a', 'b', 0, 'c'};
    ByteReader r(bytes);
    EXPECT_EQ(r.U16Be(), 0x0102);
    EXPECT_EQ(r.U32Le(), 0x00626103u);
    EXPECT_TRUE(r.Ok());
    ByteReader s(bytes, 5);
    EXPECT_EQ(s.U32Le(), 0u);
    EXPECT_FALSE(s.Ok());
    EXPECT_EQ(s.Offset(), 5u);
    EXPECT_EQ(s.U8(), 0);  // the offset did not move, and the flag stays set
    EXPECT_FALSE(s.Ok());

    ByteReader t(bytes, 3);
    EXPECT_EQ(t.CString(), "ab");
    EXPECT_EQ(t.CString(), "");  // "c" has no NUL before the end
    EXPECT_FALSE(t.Ok());
    ByteReader u(bytes);
    EXPECT_FALSE(u.Sub(8).Ok());
    EXPECT_FALSE(u.Ok());
}

TEST(ByteWriterTest, ByteOrderAndPatches) {
    ByteWriter w;
    w.PutU16Le(0x0102);
    w.PutU32Be(0x0A0B0C0D);
    w.PutU32Le(0);
    w.PatchU32Le(6, 0x11223344);
    EXPECT_EQ(w.Bytes(), (std::vector<std::uint8_t>{2, 1, 0xA, 0xB, 0xC, 0xD, 0x44, 0x33, 0x22, 0x11}));
}

TEST(MemoryStreamTest, GrowsInStepsAndDuplicatesShareContent) {
    MemoryStream s;
    s.Write(std::string_view("abc"));
    EXPECT_EQ(s.Capacity(), 1024u);
    s.Seek(1);
    auto dup = s.Duplicate();
    s.Write(std::string_view("X"));
    EXPECT_EQ(dup->ReadAll(), (std::vector<std::uint8_t>{'a', 'X', 'c'}));
    s.Truncate(0);
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_EQ(s.Position(), 2u);
    EXPECT_THROW(s.Seek(-1), FileError);
}

// The published test vectors, fed whole and in uneven pieces that cross the 64-byte blocks.
TEST(Sha256Test, KnownDigestsWhateverThePieces) {
    const std::string million(1000000, 'a');
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [text, digest] : cases) {
        EXPECT_EQ(Sha256::Hex(text), digest);
        Sha256 pieces;
        for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step * 3 % 131 + 1)
            pieces.Update(std::string_view(text).substr(at, step));
        EXPECT_EQ(Sha256::ToHex(pieces.Finish()), digest) << text.size() << " bytes in pieces";
        BackgroundSha256 background;
        for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step * 7 % 4099 + 1)
            background.Update(std::span(reinterpret_cast<const std::uint8_t*>(text.data()) + at,
                                        std::min(step, text.size() - at)));
        EXPECT_EQ(Sha256::ToHex(background.Finish()), digest) << text.size() << " bytes on a thread";
    }
    // Pieces larger than what may wait at once, and a hasher dropped while it still works.
    std::vector<std::uint8_t> large(3 * BackgroundSha256::MaxQueued + 5);
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    Sha256 direct;
    direct.Update(large);
    BackgroundSha256 background;
    for (std::size_t at = 0; at < large.size(); at += BackgroundSha256::MaxQueued * 3 / 2)
        background.Update(std::span(large).subspan(at, std::min(BackgroundSha256::MaxQueued * 3 / 2, large.size() - at)));
    EXPECT_EQ(background.Finish(), direct.Finish());
    BackgroundSha256 dropped;
    dropped.Update(large);
}

// Records the size of every write it passes on.
class CountingStream final : public Stream {
public:
    void Seek(std::int64_t offset, SeekOrigin origin) override { inner.Seek(offset, origin); }
    std::size_t Read(std::span<std::uint8_t> into) override { return inner.Read(into); }
    void Write(std::span<const std::uint8_t> bytes) override {
        writes.push_back(bytes.size());
        inner.Write(bytes);
    }
    using Stream::Write;
    std::uint64_t Length() const override { return inner.Length(); }
    std::uint64_t Position() const override { return inner.Position(); }
    void Truncate(std::uint64_t length) override { inner.Truncate(length); }
    std::unique_ptr<Stream> Duplicate() const override { return inner.Duplicate(); }

    MemoryStream inner;
    std::vector<std::size_t> writes;
};

// Parts of every size around the block's come out whole and in order, and no write but the
// last is smaller than half a block.
TEST(BlockWriterTest, PartsOfAnySizeGoOutInOrderInLargeWrites) {
    CountingStream out;
    std::vector<std::uint8_t> expected;
    {
        BlockWriter writer(out, 16);
        std::uint8_t next = 0;
        for (std::size_t size : {0, 3, 16, 7, 9, 8, 40, 1, 15, 5, 12}) {
            std::vector<std::uint8_t> part(size);
            for (std::uint8_t& byte : part) byte = next++;
            expected.insert(expected.end(), part.begin(), part.end());
            if (size == 5) {
                std::copy(part.begin(), part.end(), writer.Room(5));
            } else {
                writer.Put(part);
            }
        }
        writer.Finish();
    }
    EXPECT_EQ(out.inner.Copy(), expected);
    ASSERT_FALSE(out.writes.empty());
    for (std::size_t i = 0; i + 1 < out.writes.size(); ++i) EXPECT_GE(out.writes[i], 8u) << "write " << i;
}

class ReplaceFileWholeTest : public ::testing::Test {
protected:
    void SetUp() override {
        target = dir / "JobIconMultiButton.BMP";
        std::ofstream(target, std::ios::binary) << "old content";
    }
    std::string Content() {
        std::ifstream in(target, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t FilesInDir() { return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {})); }
    test::TempFolder temp{"tw-replace"};
    std::filesystem::path dir = temp.Path();
    std::filesystem::path target;
};

TEST_F(ReplaceFileWholeTest, FailureMidwayLeavesTheOldFile) {
    const Status replaced = ReplaceFileWhole(target, [](Stream& s) {
        s.Write(std::string_view("half of the new"));
        throw FileError("No space left on device");
        return true;
    });
    EXPECT_FALSE(replaced);
    EXPECT_EQ(replaced.Reason(), "No space left on device");
    EXPECT_EQ(Content(), "old content");
    EXPECT_EQ(FilesInDir(), 1u);

    EXPECT_FALSE(ReplaceFileWhole(target, [](Stream&) { return false; }));
    EXPECT_EQ(Content(), "old content");
}

TEST_F(ReplaceFileWholeTest, SuccessReplacesAndReopensTheHeldStream) {
    auto held = FileStream::Open(target, FileMode::ReadWriteShared);
    ASSERT_TRUE(ReplaceFileWhole(target, [](Stream& s) { s.Write(std::string_view("new")); return true; }, held.get()));
    EXPECT_EQ(Content(), "new");
    EXPECT_EQ(held->ReadAll(), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(FilesInDir(), 1u);
}

}  // namespace
}  // namespace tw

#include "model/CareerTrack.h"

#include "core/model/ModelFixtures.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using test::Encoded;

std::vector<std::uint8_t> Header() {
    return {0, 0, 0, 0, 0, 0, 0, 0, 'R', 'R', 'A', 'C', 1};
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Name "ab" and one level: friends needed 31, every other value 0, texts "Job", "m", "", "",
// "xyz".
const std::vector<std::uint8_t> OneLevelTrack = Concat(Header(), {
    'a', 'b', 0,                    // 13: name; its NUL at 15, so 16 is even and no pad follows
    0x80, 0xC7, 0xC0, 0x00, 0x00,   // 16: count 1 (1 00 000001), 31 (1 00 011111), twenty 0 bits
    'J', 'o', 'b', 0, 0xA3,         // 21: the NUL at 24 leaves 25, odd: one pad byte
    'm', 0,                         // 26
    0, 0xA3,                        // 28
    0, 0xA3,                        // 30
    'x', 'y', 'z', 0,               // 32
});

TEST(CareerTrackTest, DecodesAndEncodesOneLevelByteForByte) {
    CareerTrack track;
    ASSERT_TRUE(track.Decode(OneLevelTrack));
    EXPECT_EQ(track.name, "ab");
    ASSERT_EQ(track.levels.size(), 1u);
    JobLevel expected;
    expected.values[0] = 31;
    expected.texts = {"Job", "m", "", "", "xyz"};
    EXPECT_EQ(track.levels[0], expected);
    EXPECT_EQ(test::Encoded(track), OneLevelTrack);
}

TEST(CareerTrackTest, PadsNameByAbsoluteOffset) {
    CareerTrack track;
    track.name = "abc";
    // The NUL at 16 leaves 17, odd: a pad byte, then the count 0 as one byte.
    EXPECT_EQ(Encoded(track), Concat(Header(), {'a', 'b', 'c', 0, 0xA3, 0x00}));
    track.name = "ab";
    EXPECT_EQ(Encoded(track), Concat(Header(), {'a', 'b', 0, 0x00}));
}

TEST(CareerTrackTest, EmptyTextsTakeOneOrTwoBytesByOffset) {
    CareerTrack track;
    track.name = "ab";
    track.levels.resize(1);
    // Fields: count 1 then 21 zeros = 30 bits in 4 bytes at 16..19; texts from 20 (even).
    EXPECT_EQ(test::Encoded(track), Concat(Header(), {'a', 'b', 0, 0x80, 0x80, 0x00, 0x00,
                                                0, 0xA3, 0, 0xA3, 0, 0xA3, 0, 0xA3, 0, 0xA3}));
    track.levels[0].values[0] = 31;
    // Five bytes of fields put the first text at 21 (odd): its NUL needs no pad, the rest do.
    EXPECT_EQ(test::Encoded(track), Concat(Header(), {'a', 'b', 0, 0x80, 0xC7, 0xC0, 0x00, 0x00,
                                                0, 0, 0xA3, 0, 0xA3, 0, 0xA3, 0, 0xA3}));
}

TEST(CareerTrackTest, ManyLevelsWithWideValuesRoundTrip) {
    CareerTrack track;
    track.name = "Military";
    for (int l = 0; l < 12; ++l) {
        JobLevel level;
        for (std::size_t v = 0; v < JobLevel::ValueCount; ++v)
            level.values[v] = static_cast<std::int32_t>((l + 1) * (v % 2 == 0 ? 1 : -1) * (1 << (v % 31)));
        level.texts = {"job" + std::to_string(l), "skin", "", "tex" + std::string(static_cast<std::size_t>(l), 'x'), "a"};
        track.levels.push_back(level);
    }
    const std::vector<std::uint8_t> bytes = Encoded(track);
    CareerTrack again;
    ASSERT_TRUE(again.Decode(bytes));
    EXPECT_EQ(again.name, track.name);
    EXPECT_EQ(again.levels, track.levels);
    EXPECT_EQ(test::Encoded(again), bytes);
}

TEST(CareerTrackTest, StreamLoadAndWriteEmptyTheStreamFirst) {
    MemoryStream stream(std::vector<std::uint8_t>(100, 0x55));
    CareerTrack track;
    track.name = "ab";
    ASSERT_TRUE(track.WriteToStream(stream));
    EXPECT_EQ(stream.Copy(), Concat(Header(), {'a', 'b', 0, 0x00}));
    MemoryStream source(OneLevelTrack);
    CareerTrack loaded;
    ASSERT_TRUE(loaded.LoadFromStream(source));
    EXPECT_EQ(loaded.levels.size(), 1u);
}

TEST(CareerTrackTest, MalformedDataFailsWithoutReadingPastTheEnd) {
    auto truncated = [](std::size_t size) {
        return std::vector<std::uint8_t>(OneLevelTrack.begin(), OneLevelTrack.begin() + static_cast<std::ptrdiff_t>(size));
    };
    auto changed = [](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = OneLevelTrack;
        bytes[at] = value;
        return bytes;
    };
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"header only", truncated(12)},
        {"first word not 0", changed(0, 1)},
        {"second word not 0", changed(7, 1)},
        {"wrong tag", changed(9, 'X')},
        {"name without NUL", truncated(15)},
        {"no fields", truncated(16)},
        {"ends inside the fields", truncated(18)},
        {"ends inside a text", truncated(23)},
        {"ends before the last text", truncated(32)},
        {"last text without NUL", truncated(35)},
        {"negative count", Concat(Header(), {'a', 'b', 0, 0x9F, 0x80})},
        {"count beyond the data", Concat(Header(), {'a', 'b', 0, 0xA2, 0x00})},
        {"level count only, no level", Concat(Header(), {'a', 'b', 0, 0x80, 0x80})},
    };
    for (const auto& c : cases) {
        CareerTrack track;
        EXPECT_FALSE(track.Decode(c.bytes)) << c.what;
    }
}

TEST(CareerTrackTest, WrongHeaderLeavesTheTrackAsItWas) {
    CareerTrack track;
    track.name = "kept";
    track.levels.resize(2);
    std::vector<std::uint8_t> bytes = OneLevelTrack;
    bytes[8] = 'X';
    EXPECT_FALSE(track.Decode(bytes));
    EXPECT_EQ(track.name, "kept");
    EXPECT_EQ(track.levels.size(), 2u);
}

}  // namespace
}  // namespace tw

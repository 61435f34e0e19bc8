#include "model/FieldBitStream.h"

#include "util/ByteWriter.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace tw {
namespace {

std::vector<std::uint8_t> WriteFields(const std::vector<std::int32_t>& values) {
    ByteWriter out;
    FieldBitStream fields(out);
    for (std::int32_t v : values) fields.WriteField(v);
    fields.Flush();
    return out.Take();
}

TEST(FieldBitStreamTest, EachValueTakesTheSmallestWidthThatHoldsIt) {
    const struct {
        std::int32_t value;
        int bits;
    } cases[] = {{0, 1},     {31, 9},      {-32, 9},      {32, 14},       {-33, 14},          {1023, 14},
                 {1024, 24}, {-1025, 24},  {1048575, 24}, {1048576, 35},  {-1, 9},            {-1048576, 24},
                 {-1048577, 35}, {std::numeric_limits<std::int32_t>::max(), 35},
                 {std::numeric_limits<std::int32_t>::min(), 35}};
    for (const auto& c : cases) {
        EXPECT_EQ(FieldBitStream::FieldBitCount(c.value), c.bits) << c.value;
        const std::vector<std::uint8_t> bytes = WriteFields({c.value});
        EXPECT_EQ(bytes.size(), static_cast<std::size_t>((c.bits + 7) / 8)) << c.value;
        FieldBitStream reader(bytes);
        EXPECT_EQ(reader.ReadField(), c.value);
        EXPECT_EQ(reader.NextBytePosition(), bytes.size()) << c.value;
    }
}

TEST(FieldBitStreamTest, BitsAreWrittenMostSignificantFirst) {
    // 31: 1 00 011111 -> 1000 1111 1(000 0000)
    EXPECT_EQ(WriteFields({31}), (std::vector<std::uint8_t>{0x8F, 0x80}));
    // 32: 1 01 00000100000 -> 1010 0000 1000 00(00)
    EXPECT_EQ(WriteFields({32}), (std::vector<std::uint8_t>{0xA0, 0x80}));
    // -1: 1 00 111111
    EXPECT_EQ(WriteFields({-1}), (std::vector<std::uint8_t>{0x9F, 0x80}));
    // 0, 0, 0, 31 share the first byte: 000 1 00 01 | 1111
    EXPECT_EQ(WriteFields({0, 0, 0, 31}), (std::vector<std::uint8_t>{0x11, 0xF0}));
    // Eight zero bits fill one byte exactly; Flush then adds nothing.
    EXPECT_EQ(WriteFields({0, 0, 0, 0, 0, 0, 0, 0}), (std::vector<std::uint8_t>{0x00}));
}

TEST(FieldBitStreamTest, SequencesRoundTrip) {
    const std::vector<std::int32_t> values = {0, 1, -1, 31, -32, 32, -33, 1023, -1024, 1024, -1025, 1048575,
                                              -1048576, 1048576, -1048577, 123456789, -987654321, 0, 7};
    const std::vector<std::uint8_t> bytes = WriteFields(values);
    FieldBitStream reader(bytes);
    for (std::int32_t v : values) EXPECT_EQ(reader.ReadField(), v);
}

TEST(FieldBitStreamTest, ReadingPastTheEndGivesZeroBitsAndMovesOn) {
    const std::vector<std::uint8_t> bytes = {0x8F};  // the first 8 of the 9 bits of 31
    FieldBitStream reader(bytes);
    EXPECT_EQ(reader.ReadField(), 30);
    EXPECT_EQ(reader.NextBytePosition(), 2u);
    EXPECT_EQ(reader.ReadField(), 0);
    EXPECT_EQ(reader.NextBytePosition(), 2u);
}

TEST(FieldBitStreamTest, RestartDropsThePartlyReadByte) {
    const std::vector<std::uint8_t> bytes = {0xFF, 0x8F, 0x80};
    FieldBitStream reader(bytes);
    reader.ReadBitMsbFirst();
    EXPECT_EQ(reader.NextBytePosition(), 1u);
    reader.RestartAt(1);
    EXPECT_EQ(reader.ReadField(), 31);
    EXPECT_EQ(reader.NextBytePosition(), 3u);
}

}  // namespace
}  // namespace tw

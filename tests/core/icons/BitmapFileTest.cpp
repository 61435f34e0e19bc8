#include "icons/BitmapFile.h"

#include "BmpBytes.h"
#include "util/ByteReader.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tw {
namespace {

using test::BmpBytes;
using test::BmpLayout;
using Pixels = std::vector<std::uint32_t>;

struct Loaded {
    bool ok = false;
    Bitmap bitmap;
    Palette palette;
};

Loaded Load(const std::vector<std::uint8_t>& bytes, std::int32_t width = 0, std::int32_t height = 0) {
    MemoryStream stream(bytes);
    Loaded result;
    result.ok = LoadBitmapFile(stream, result.bitmap, result.palette, width, height).Ok();
    return result;
}

std::vector<std::uint32_t> GreyRamp(std::size_t count) {
    std::vector<std::uint32_t> table;
    for (std::uint32_t i = 0; i < count; ++i) table.push_back((i << 16) | ((255 - i) << 8) | (i / 2));
    return table;
}

TEST(BitmapFileTest, EightBitWithColoursUsedZeroHasAFullTable) {
    BmpLayout layout{.width = 2, .height = 2, .bitsPerPixel = 8, .table = GreyRamp(256)};
    // Bottom row first, each padded to 4 bytes.
    layout.pixels = {3, 4, 0, 0, /* top: */ 1, 255, 0, 0};
    const Loaded l = Load(BmpBytes(layout));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.bitmap.width, 2);
    EXPECT_EQ(l.bitmap.height, 2);
    EXPECT_EQ(l.bitmap.pixels, (Pixels{0x01FE00, 0xFF007F, 0x03FC01, 0x04FB02}));
    ASSERT_EQ(l.palette.colors.size(), 256u);
    EXPECT_EQ(l.palette.colors[1], (Palette::Color{1, 254, 0}));
    EXPECT_EQ(l.bitmap.palette, l.palette);
}

TEST(BitmapFileTest, ShortColourTableIsFollowedDirectlyByThePixels) {
    BmpLayout layout{.width = 3, .height = 1, .bitsPerPixel = 8, .coloursUsed = 2, .table = {0x102030, 0xA0B0C0}};
    layout.pixels = {1, 0, 7, 0};  // index 7 is past the table
    const Loaded l = Load(BmpBytes(layout));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.bitmap.pixels, (Pixels{0xA0B0C0, 0x102030, 0x000000}));
    EXPECT_EQ(l.palette.colors.size(), 2u);
}

TEST(BitmapFileTest, TwentyFourBitRowsArePaddedAndStoredBottomUp) {
    BmpLayout layout{.width = 3, .height = 2, .bitsPerPixel = 24};
    layout.pixels = {
        0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xEE, 0xEE, 0xEE,  // bottom row, 3 padding
        0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0xEE, 0xEE, 0xEE,  // top row
    };
    MemoryStream stream(BmpBytes(layout));
    Bitmap bitmap;
    Palette palette{{{1, 2, 3}}};
    ASSERT_TRUE(LoadBitmapFile(stream, bitmap, palette, 3, 2));
    EXPECT_EQ(bitmap.pixels, (Pixels{0x131211, 0x161514, 0x191817, 0x030201, 0x060504, 0x090807}));
    EXPECT_TRUE(palette.Empty());  // a 24-bit file has no table; the old palette is replaced
    EXPECT_TRUE(bitmap.palette.Empty());
}

TEST(BitmapFileTest, DecodesEveryDepth) {
    struct Case {
        const char* what;
        BmpLayout layout;
        Pixels expected;
    };
    const std::vector<Case> cases = {
        {"1 bit, 10 wide: bits from the top of each byte",
         {.width = 10, .height = 1, .bitsPerPixel = 1, .table = {0x000000, 0xFFFFFF},
          .pixels = {0b10110000, 0b01000000, 0, 0}},
         {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0, 0, 0xFFFFFF}},
        {"4 bit, 3 wide: high nibble first",
         {.width = 3, .height = 1, .bitsPerPixel = 4, .table = GreyRamp(16), .pixels = {0x1F, 0x20, 0, 0}},
         {0x01FE00, 0x0FF007, 0x02FD01}},
        {"16 bit without masks is 5-5-5",
         {.width = 3, .height = 1, .bitsPerPixel = 16, .pixels = {0xFF, 0x7F, 0x00, 0x7C, 0x01, 0x00, 0, 0}},
         {0xFFFFFF, 0xFF0000, 0x000008}},
        {"16 bit with 5-6-5 bit fields",
         {.width = 2, .height = 1, .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
          .pixels = {0xE0, 0x07, 0x20, 0x00}},
         {0x00FF00, 0x000400}},
        {"32 bit without masks ignores the top byte",
         {.width = 1, .height = 1, .bitsPerPixel = 32, .pixels = {0x33, 0x22, 0x11, 0xAA}},
         {0x112233}},
        {"32 bit with bit fields in another order",
         {.width = 1, .height = 1, .bitsPerPixel = 32, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000},
          .pixels = {0x11, 0x22, 0x33, 0x00}},
         {0x112233}},
        {"32 bit with bit fields inside a 124-byte header",
         {.width = 1, .height = 1, .bitsPerPixel = 32, .compression = 3, .infoSize = 124,
          .masks = {0xFF, 0xFF00, 0xFF0000}, .pixels = {0x11, 0x22, 0x33, 0x00}},
         {0x112233}},
        {"24 bit after a 108-byte header",
         {.width = 1, .height = 1, .bitsPerPixel = 24, .infoSize = 108, .pixels = {0x33, 0x22, 0x11, 0}},
         {0x112233}},
        {"last row without its padding",
         {.width = 1, .height = 2, .bitsPerPixel = 24, .pixels = {1, 2, 3, 0, 4, 5, 6}},
         {0x060504, 0x030201}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Loaded l = Load(BmpBytes(c.layout));
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.bitmap.pixels, c.expected);
    }
}

TEST(BitmapFileTest, TopDownLoadsInOrderButFailsTheSizeCheck) {
    BmpLayout layout{.width = 1, .height = -2, .bitsPerPixel = 24, .pixels = {1, 2, 3, 0, 4, 5, 6, 0}};
    const Loaded unchecked = Load(BmpBytes(layout));
    ASSERT_TRUE(unchecked.ok);
    EXPECT_EQ(unchecked.bitmap.height, 2);
    EXPECT_EQ(unchecked.bitmap.pixels, (Pixels{0x030201, 0x060504}));
    EXPECT_FALSE(Load(BmpBytes(layout), 1, 2).ok);
}

TEST(BitmapFileTest, SizeCheckComparesStoredValuesExactly) {
    BmpLayout layout{.width = 84, .height = 63, .bitsPerPixel = 24};
    layout.pixels.assign(252 * 63, 0);
    const std::vector<std::uint8_t> bytes = BmpBytes(layout);
    EXPECT_TRUE(Load(bytes, 84, 63).ok);
    EXPECT_FALSE(Load(bytes, 84, 62).ok);
    EXPECT_FALSE(Load(bytes, 112, 63).ok);
    EXPECT_TRUE(Load(bytes, 84, 0).ok);  // only both sizes together make a check
}

TEST(BitmapFileTest, MalformedFilesFailAndLeaveTheOutputsAlone) {
    const BmpLayout good{.width = 2, .height = 2, .bitsPerPixel = 24, .pixels = std::vector<std::uint8_t>(16, 0)};
    ASSERT_TRUE(Load(BmpBytes(good)).ok);
    const auto patchedU32 = [&](std::size_t offset, std::uint32_t value) {
        std::vector<std::uint8_t> bytes = BmpBytes(good);
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return bytes;
    };
    const auto with = [&](auto change) {
        BmpLayout layout = good;
        change(layout);
        return BmpBytes(layout);
    };
    std::vector<std::uint8_t> notBM = BmpBytes(good);
    notBM[1] = 'A';
    const auto prefix = [&](std::size_t count) {
        std::vector<std::uint8_t> bytes = BmpBytes(good);
        bytes.resize(count);
        return bytes;
    };
    std::vector<std::uint8_t> cut = BmpBytes(good);
    cut.resize(cut.size() - 3);  // one byte into the last pixel, past the missing padding

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"13 bytes", prefix(13)},
        {"not BM", notBM},
        {"file header only", std::vector<std::uint8_t>{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"information header cut short", prefix(50)},
        {"header size 12", patchedU32(14, 12)},
        {"header size 64", patchedU32(14, 64)},
        {"header size larger than the file", patchedU32(14, 124)},
        {"width 0", patchedU32(18, 0)},
        {"negative width", patchedU32(18, static_cast<std::uint32_t>(-2))},
        {"height 0", patchedU32(22, 0)},
        {"most negative height", patchedU32(22, 0x80000000u)},
        {"width times height absurd", patchedU32(18, 0x7FFFFFFF)},
        {"2 bits per pixel", with([](BmpLayout& s) { s.bitsPerPixel = 2; })},
        {"0 bits per pixel", with([](BmpLayout& s) { s.bitsPerPixel = 0; })},
        {"run-length data of ends of line only, past the picture and without an end of bitmap",
         with([](BmpLayout& s) { s.bitsPerPixel = 8; s.compression = 1; s.table = GreyRamp(256); })},
        {"bit fields on 24 bits", with([](BmpLayout& s) { s.compression = 3; s.masks = {0xFF0000, 0xFF00, 0xFF}; })},
        {"bit fields without masks", with([](BmpLayout& s) {
             s.width = 1; s.height = 1; s.bitsPerPixel = 32; s.compression = 3; s.pixels = {};
         })},
        {"JPEG inside", with([](BmpLayout& s) { s.compression = 4; })},
        {"8 bits, 257 colours used", with([](BmpLayout& s) {
             s.bitsPerPixel = 8; s.coloursUsed = 257; s.table = GreyRamp(256); s.table.push_back(0);
         })},
        {"colour table past the end", with([](BmpLayout& s) { s.bitsPerPixel = 8; s.table = GreyRamp(4); s.pixels = {}; })},
        {"colours used past the end on 24 bits", with([](BmpLayout& s) { s.coloursUsed = 0xFFFFFFFF; })},
        {"pixels cut short", cut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryStream stream(c.bytes);
        Bitmap bitmap(1, 1);
        bitmap.pixels[0] = 0x123456;
        bitmap.palette.colors = {{9, 9, 9}};
        Palette palette{{{7, 7, 7}}};
        const Bitmap before = bitmap;
        EXPECT_FALSE(LoadBitmapFile(stream, bitmap, palette, 0, 0));
        EXPECT_EQ(bitmap, before);
        EXPECT_EQ(palette, (Palette{{{7, 7, 7}}}));
    }
}

// The colours of a picture of indices into `table`, rows from the top down.
Pixels Colours(const std::vector<std::uint32_t>& table, std::int32_t width, const std::vector<std::vector<std::uint8_t>>& storedRows) {
    Pixels pixels;
    for (auto row = storedRows.rbegin(); row != storedRows.rend(); ++row) {
        EXPECT_EQ(row->size(), static_cast<std::size_t>(width));
        for (std::uint8_t index : *row) pixels.push_back(table.at(index));
    }
    return pixels;
}

// Every record of 8-bit run-length data, written out by hand. Colour 0 is not black, so that the
// pixels the data never sets show that they hold it.
TEST(BitmapFileTest, RunLengthEightBitsFollowsEveryRecord) {
    const std::vector<std::uint32_t> table = {0x0A0B0C, 0x112233, 0x445566, 0x778899};
    BmpLayout layout{.width = 6, .height = 5, .bitsPerPixel = 8, .compression = 1, .coloursUsed = 4, .table = table};
    layout.pixels = {
        // Row 0, the bottom of the picture.
        0x03, 0x01,                          // run: 3 pixels of index 1
        0x00, 0x03, 0x02, 0x03, 0x01, 0x00,  // absolute run of 3: indices 2, 3, 1, one byte of padding
        0x00, 0x00,                          // end of line, the row full
        // Row 1.
        0x01, 0x02,                          // run: 1 pixel of index 2
        0x00, 0x02, 0x03, 0x00,              // delta: 3 right, 0 up, to column 4
        0x01, 0x01,                          // run: 1 pixel of index 1
        0x00, 0x00,                          // end of line before column 5
        // Row 2.
        0x00, 0x04, 0x03, 0x02, 0x01, 0x02,  // absolute run of 4: no padding
        0x00, 0x02, 0x01, 0x01,              // delta: 1 right, 1 up, to column 5 of row 3
        // Row 3.
        0x01, 0x03,                          // run: 1 pixel of index 3
        0x00, 0x01,                          // end of bitmap: row 4 never set
    };
    const Pixels expected = Colours(table, 6,
                                    {{1, 1, 1, 2, 3, 1},
                                     {2, 0, 0, 0, 1, 0},
                                     {3, 2, 1, 2, 0, 0},
                                     {0, 0, 0, 0, 0, 3},
                                     {0, 0, 0, 0, 0, 0}});
    const Loaded l = Load(BmpBytes(layout), 6, 5);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.bitmap.pixels, expected);
    EXPECT_EQ(l.palette.colors.size(), 4u);
    EXPECT_EQ(l.bitmap.palette, l.palette);

    // With an image size of 0 the data runs to the end of the file; what follows the end of
    // bitmap is never read.
    layout.pixels.insert(layout.pixels.end(), {0x05, 0x01, 0x00});
    layout.imageSize = 0;
    const Loaded longer = Load(BmpBytes(layout));
    ASSERT_TRUE(longer.ok);
    EXPECT_EQ(longer.bitmap.pixels, expected);
}

TEST(BitmapFileTest, RunLengthFourBitsTakesNibblesHighFirst) {
    const std::vector<std::uint32_t> table = GreyRamp(16);
    BmpLayout layout{.width = 8, .height = 5, .bitsPerPixel = 4, .compression = 2, .table = table};
    layout.pixels = {
        // Row 0, the bottom of the picture.
        0x05, 0x12,                    // run: 5 pixels alternating 1 and 2
        0x03, 0x34,                    // run: 3 pixels, 3 4 3
        0x00, 0x00,                    // end of line, the row full
        // Row 1.
        0x00, 0x03, 0x56, 0x70,        // absolute run of 3 in 2 bytes: no padding
        0x00, 0x05, 0x89, 0xAB, 0xC0,  // absolute run of 5 in 3 bytes...
        0x00,                          // ...and one byte of padding
        0x00, 0x00,                    // end of line
        // Row 2.
        0x00, 0x02, 0x03, 0x00,        // delta: 3 right, 0 up
        0x02, 0xDE,                    // run: D E
        0x00, 0x00,                    // end of line before column 5
        // Row 3.
        0x00, 0x02, 0x06, 0x01,        // delta: 6 right, 1 up, to column 6 of row 4: row 3 never set
        // Row 4.
        0x01, 0xF0,                    // run: 1 pixel of index F
        0x00, 0x01,                    // end of bitmap before column 7
    };
    const Loaded l = Load(BmpBytes(layout));
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.bitmap.pixels, Colours(table, 8,
                                       {{0x1, 0x2, 0x1, 0x2, 0x1, 0x3, 0x4, 0x3},
                                        {0x5, 0x6, 0x7, 0x8, 0x9, 0xA, 0xB, 0xC},
                                        {0x0, 0x0, 0x0, 0xD, 0xE, 0x0, 0x0, 0x0},
                                        {0x0, 0x0, 0x0, 0x0, 0x0, 0x0, 0x0, 0x0},
                                        {0x0, 0x0, 0x0, 0x0, 0x0, 0x0, 0xF, 0x0}}));
    EXPECT_EQ(l.palette.colors.size(), 16u);
}

// Pictures of random indices, each written as run-length data in one of many ways by an encoder
// of the tests' own, read exactly as the same indices stored uncompressed.
TEST(BitmapFileTest, RunLengthReadsAsTheSameIndicesUncompressed) {
    std::mt19937 random(20240601);
    for (std::uint32_t seed = 0; seed < 400; ++seed) {
        const std::uint16_t bits = seed % 2 == 0 ? 8 : 4;
        test::IndexPicture picture;
        picture.width = seed % 50 == 1 ? static_cast<std::int32_t>(300 + random() % 300) : static_cast<std::int32_t>(1 + random() % 40);
        picture.height = static_cast<std::int32_t>(1 + random() % 8);
        // Runs of one index, half of them 0, so that there is something to skip and to repeat.
        const std::uint32_t colours = bits == 8 ? 256 : 16;
        while (picture.indices.size() < static_cast<std::size_t>(picture.width * picture.height)) {
            const auto index = static_cast<std::uint8_t>(random() % 2 == 0 ? 0 : random() % colours);
            picture.indices.insert(picture.indices.end(), 1 + random() % 12, index);
        }
        picture.indices.resize(static_cast<std::size_t>(picture.width * picture.height));
        SCOPED_TRACE(::testing::Message() << "seed " << seed << ", " << picture.width << " x " << picture.height);

        const BmpLayout plain{.width = picture.width, .height = picture.height, .bitsPerPixel = bits,
                              .table = GreyRamp(colours), .pixels = test::IndexRows(picture, bits)};
        BmpLayout compressed = plain;
        compressed.compression = bits == 8 ? 1 : 2;
        compressed.pixels = test::RunLengthData(picture, bits, seed);
        const Loaded expected = Load(BmpBytes(plain));
        ASSERT_TRUE(expected.ok);
        const Loaded l = Load(BmpBytes(compressed), picture.width, picture.height);
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.bitmap, expected.bitmap);
    }
}

// Damaged run-length data, and run-length data where Windows draws none, fail the read and leave
// every output as it was.
TEST(BitmapFileTest, DamagedRunLengthDataFailsAndLeavesTheOutputsAlone) {
    struct Case {
        const char* what;
        std::uint16_t bitsPerPixel;
        std::uint32_t compression;
        std::vector<std::uint8_t> data;  // of a picture 4 wide and 2 high
        std::int32_t height = 2;
        std::optional<std::uint32_t> imageSize{};
    };
    const std::vector<std::uint8_t> good8 = {0x04, 0x01, 0x00, 0x00, 0x04, 0x02, 0x00, 0x01};
    const std::vector<std::uint8_t> good4 = {0x04, 0x12, 0x00, 0x00, 0x04, 0x34, 0x00, 0x01};
    const std::vector<Case> cases = {
        {"run past the row end", 8, 1, {0x05, 0x01, 0x00, 0x01}},
        {"run past the row end after a delta", 8, 1, {0x00, 0x02, 0x02, 0x00, 0x03, 0x01, 0x00, 0x01}},
        {"4-bit run past the row end", 4, 2, {0x02, 0x12, 0x03, 0x12, 0x00, 0x01}},
        {"absolute run past the row end", 8, 1, {0x00, 0x05, 1, 2, 3, 1, 2, 0x00, 0x00, 0x01}},
        {"4-bit absolute run past the row end", 4, 2, {0x00, 0x05, 0x12, 0x31, 0x20, 0x00, 0x00, 0x01}},
        {"delta past the right edge", 8, 1, {0x00, 0x02, 0x05, 0x00, 0x00, 0x01}},
        {"delta past the top", 8, 1, {0x00, 0x02, 0x00, 0x02, 0x00, 0x01}},
        {"delta from above the last row", 8, 1, {0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01}},
        {"end of line above the last row", 8, 1, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}},
        {"run above the last row", 8, 1, {0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x01}},
        {"no end of bitmap", 8, 1, {0x04, 0x01, 0x00, 0x00, 0x04, 0x02}},
        {"no data at all", 8, 1, {}},
        {"data ending within a record", 8, 1, {0x04, 0x01, 0x00}},
        {"data ending within a delta", 8, 1, {0x04, 0x01, 0x00, 0x02, 0x01}},
        {"absolute run past the data", 8, 1, {0x00, 0x04, 0x01, 0x02}},
        {"4-bit absolute run past the data", 4, 2, {0x00, 0x05, 0x12, 0x34}},
        {"absolute run without its padding: the end of bitmap is misread", 8, 1, {0x00, 0x03, 1, 2, 3, 0x00, 0x01}},
        {"8-bit run-length data at 4 bits per pixel", 4, 1, good8},
        {"4-bit run-length data at 8 bits per pixel", 8, 2, good4},
        {"8-bit run-length data at 24 bits per pixel", 24, 1, good8},
        {"4-bit run-length data at 1 bit per pixel", 1, 2, good4},
        {"stored top-down", 8, 1, good8, -2},
        {"image size past the end of the file", 8, 1, good8, 2, 9},
        {"image size ending before the end of bitmap", 8, 1, good8, 2, 6},
    };
    for (const std::uint32_t compression : {1u, 2u}) {
        const BmpLayout layout{.width = 4, .height = 2, .bitsPerPixel = static_cast<std::uint16_t>(compression == 1 ? 8 : 4),
                               .compression = compression, .coloursUsed = 4, .table = GreyRamp(4),
                               .pixels = compression == 1 ? good8 : good4};
        EXPECT_TRUE(Load(BmpBytes(layout)).ok) << "the undamaged data, compression " << compression;
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BmpLayout layout{.width = 4, .height = c.height, .bitsPerPixel = c.bitsPerPixel, .compression = c.compression,
                               .coloursUsed = 4, .table = GreyRamp(4), .pixels = c.data, .imageSize = c.imageSize};
        MemoryStream stream(BmpBytes(layout));
        Bitmap bitmap(1, 1);
        bitmap.pixels[0] = 0x123456;
        bitmap.palette.colors = {{9, 9, 9}};
        Palette palette{{{7, 7, 7}}};
        BitmapHeaders headers;
        headers.file[0] = 0x42;
        const Bitmap before = bitmap;
        const BitmapHeaders headersBefore = headers;
        EXPECT_FALSE(LoadBitmapFile(stream, bitmap, palette, 0, 0, &headers));
        EXPECT_EQ(bitmap, before);
        EXPECT_EQ(palette, (Palette{{{7, 7, 7}}}));
        EXPECT_EQ(headers, headersBefore);
    }
}

TEST(BitmapFileTest, WritesAnIconWithExactHeaders) {
    Bitmap icon(84, 63);
    icon.SetPixel(0, 62, 0x112233);  // bottom-left: the first pixel stored
    icon.SetPixel(83, 0, 0x445566);  // top-right: the last
    MemoryStream stream;
    ASSERT_TRUE(SaveBitmapFile(stream, icon));
    const std::vector<std::uint8_t> bytes = stream.Copy();
    ASSERT_EQ(bytes.size(), 252u * 63 + 54);
    ByteReader r(bytes);
    EXPECT_EQ(r.U16Le(), 0x4D42);
    EXPECT_EQ(r.U32Le(), 252u * 63 + 54);  // file size
    EXPECT_EQ(r.U32Le(), 0u);              // two reserved
    EXPECT_EQ(r.U32Le(), 54u);             // pixel data offset
    EXPECT_EQ(r.U32Le(), 40u);             // information header size
    EXPECT_EQ(r.I32Le(), 84);
    EXPECT_EQ(r.I32Le(), 63);
    EXPECT_EQ(r.U16Le(), 1);               // planes
    EXPECT_EQ(r.U16Le(), 24);              // bits per pixel
    EXPECT_EQ(r.U32Le(), 0u);              // compression
    EXPECT_EQ(r.U32Le(), 252u * 63);       // image size
    for (int i = 0; i < 4; ++i) EXPECT_EQ(r.U32Le(), 0u);  // resolutions, colours used, important
    EXPECT_EQ(r.Offset(), 54u);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 54, bytes.begin() + 57)), (std::vector<std::uint8_t>{0x33, 0x22, 0x11}));
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.end() - 3, bytes.end())), (std::vector<std::uint8_t>{0x66, 0x55, 0x44}));
}

TEST(BitmapFileTest, WrittenRowsArePaddedToFourBytes) {
    Bitmap bitmap(3, 2);
    bitmap.pixels = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
    MemoryStream stream;
    ASSERT_TRUE(SaveBitmapFile(stream, bitmap));
    const std::vector<std::uint8_t> bytes = stream.Copy();
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);
    EXPECT_EQ(LoadU32Le(&bytes[34]), 24u);  // image size
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end())),
              (std::vector<std::uint8_t>{0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10, 0, 0, 0,
                                         0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0, 0, 0}));
}

TEST(BitmapFileTest, PalettedFileSavesAsTwentyFourBitsWithTheSameColours) {
    BmpLayout layout{.width = 5, .height = 3, .bitsPerPixel = 4, .table = GreyRamp(16)};
    layout.pixels = {0x01, 0x23, 0x40, 0, 0x56, 0x78, 0x90, 0, 0xAB, 0xCD, 0xE0, 0};
    const Loaded original = Load(BmpBytes(layout));
    ASSERT_TRUE(original.ok);
    MemoryStream stream;
    ASSERT_TRUE(SaveBitmapFile(stream, original.bitmap));
    const Loaded again = Load(stream.Copy(), 5, 3);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.bitmap.pixels, original.bitmap.pixels);
    EXPECT_TRUE(again.palette.Empty());
}

TEST(BitmapFileTest, SavingReplacesTheWholeStream) {
    MemoryStream stream(std::vector<std::uint8_t>(5000, 0xAB));
    stream.Seek(100);
    ASSERT_TRUE(SaveBitmapFile(stream, Bitmap(2, 2)));
    EXPECT_EQ(stream.Length(), 54u + 16);
    EXPECT_EQ(stream.Copy()[0], 'B');
}

// Strips larger than the blocks that the reader decodes and the writer encodes at a time: every
// row lands where it belongs in both directions and both orders, a file that ends within its
// last row's padding still loads, and one that ends a row earlier does not.
TEST(BitmapFileTest, LargeStripsCrossTheReadAndWriteBlocksIntact) {
    Bitmap strip(701, 700);  // 2104 bytes a row: about 125 rows a read block, 1.5 write blocks
    for (std::size_t i = 0; i < strip.pixels.size(); ++i) strip.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    const std::optional<std::vector<std::uint8_t>> encoded = EncodeBitmapFile(strip);
    ASSERT_TRUE(encoded);
    MemoryStream written;
    ASSERT_TRUE(WriteBitmapFile(written, strip));
    EXPECT_EQ(written.Copy(), *encoded);

    const Loaded bottomUp = Load(*encoded, 701, 700);
    ASSERT_TRUE(bottomUp.ok);
    EXPECT_EQ(bottomUp.bitmap, strip);

    // The same rows stored top-down: the file's rows in the reverse order.
    BmpLayout topDown{.width = 701, .height = -700, .bitsPerPixel = 24};
    const std::size_t rowBytes = 2104;
    for (std::size_t row = 700; row-- > 0;) {
        const auto first = encoded->begin() + static_cast<std::ptrdiff_t>(54 + row * rowBytes);
        topDown.pixels.insert(topDown.pixels.end(), first, first + static_cast<std::ptrdiff_t>(rowBytes));
    }
    std::vector<std::uint8_t> bytes = BmpBytes(topDown);
    bytes.resize(bytes.size() - 1);  // the last row's padding byte is missing
    const Loaded reordered = Load(bytes);
    ASSERT_TRUE(reordered.ok);
    EXPECT_EQ(reordered.bitmap.pixels, strip.pixels);

    bytes.resize(bytes.size() - 1);  // now a pixel byte is missing too
    EXPECT_FALSE(Load(bytes).ok);
}

TEST(BitmapFileTest, MalformedBitmapIsNotWritten) {
    Bitmap inconsistent(2, 2);
    inconsistent.pixels.pop_back();
    Bitmap empty;
    for (const Bitmap* bitmap : {&inconsistent, &empty}) {
        MemoryStream stream(std::vector<std::uint8_t>{1, 2, 3});
        EXPECT_FALSE(SaveBitmapFile(stream, *bitmap));
        EXPECT_EQ(stream.Copy(), (std::vector<std::uint8_t>{1, 2, 3}));
    }
}

}  // namespace
}  // namespace tw

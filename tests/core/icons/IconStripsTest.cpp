#include "icons/IconStrips.h"

#include "BmpBytes.h"
#include "icons/BitmapFile.h"
#include "util/MemoryStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tw {
namespace {

// A strip whose every pixel tells its own place: row in the upper bits, column in the lower.
Bitmap Numbered(std::int32_t width, std::int32_t height) {
    Bitmap bitmap(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) bitmap.SetPixel(x, y, static_cast<std::uint32_t>(y << 8 | x));
    return bitmap;
}

std::vector<std::uint8_t> FileOf(const Bitmap& bitmap) {
    MemoryStream stream;
    EXPECT_TRUE(SaveBitmapFile(stream, bitmap));
    return stream.Copy();
}

Bitmap Filled(std::int32_t width, std::int32_t height, std::uint32_t rgb) {
    Bitmap bitmap(width, height);
    bitmap.pixels.assign(bitmap.pixels.size(), rgb);
    return bitmap;
}

TEST(IconStripsTest, PopupStripOfTenIconsCutsAndPutsOnlyWholeIcons) {
    IconStrips strips;
    MemoryStream file(FileOf(Numbered(84, 630)));
    ASSERT_TRUE(strips.LoadPopupStrip(file));
    EXPECT_EQ(strips.PopupIconCount(), 10u);

    Bitmap icon;
    ASSERT_TRUE(strips.GetPopupIcon(9, icon));
    EXPECT_EQ(icon.width, 84);
    EXPECT_EQ(icon.height, IconStrips::PopupIconHeight);
    EXPECT_EQ(icon.Pixel(0, 0), static_cast<std::uint32_t>(567 << 8));
    EXPECT_EQ(icon.Pixel(83, 62), static_cast<std::uint32_t>(629 << 8 | 83));

    const Bitmap before = icon;
    EXPECT_FALSE(strips.GetPopupIcon(10, icon));
    EXPECT_EQ(icon, before);

    ASSERT_TRUE(strips.PutPopupIcon(9, Filled(84, 63, 0xABCDEF)));
    const Bitmap& strip = strips.PopupStrip();
    EXPECT_EQ(strip.Pixel(83, 566), static_cast<std::uint32_t>(566 << 8 | 83));  // icon 8 untouched
    EXPECT_EQ(strip.Pixel(0, 567), 0xABCDEFu);
    EXPECT_EQ(strip.Pixel(83, 629), 0xABCDEFu);

    const Bitmap whole = strip;
    EXPECT_FALSE(strips.PutPopupIcon(10, Filled(84, 63, 0)));
    EXPECT_EQ(strips.PopupStrip(), whole);
}

TEST(IconStripsTest, PartialIconAtTheBottomIsIgnored) {
    IconStrips strips;
    MemoryStream popup(FileOf(Numbered(84, 650)));
    MemoryStream button(FileOf(Numbered(112, 65)));
    ASSERT_TRUE(strips.LoadPopupStrip(popup));
    ASSERT_TRUE(strips.LoadButtonStrip(button));
    EXPECT_EQ(strips.PopupIconCount(), 10u);
    EXPECT_EQ(strips.ButtonIconCount(), 2u);

    Bitmap icon;
    EXPECT_TRUE(strips.GetButtonIcon(1, icon));
    EXPECT_EQ(icon.Pixel(0, 0), static_cast<std::uint32_t>(22 << 8));
    EXPECT_FALSE(strips.GetButtonIcon(2, icon));
    EXPECT_FALSE(strips.PutButtonIcon(2, Filled(112, 22, 0)));
    EXPECT_FALSE(strips.GetPopupIcon(10, icon));
}

TEST(IconStripsTest, EmptyStripsHoldNoIcons) {
    IconStrips strips;
    Bitmap icon;
    EXPECT_FALSE(strips.GetButtonIcon(0, icon));
    EXPECT_FALSE(strips.PutPopupIcon(0, Filled(84, 63, 0)));
    EXPECT_EQ(strips.PopupIconCount(), 0u);
}

TEST(IconStripsTest, KeepsBothHeadersAndThePaletteAsRead) {
    test::BmpLayout layout{.width = 4, .height = 44, .bitsPerPixel = 8, .coloursUsed = 3,
                       .table = {0xFF0000, 0x00FF00, 0x0000FF}};
    layout.pixels.assign(4 * 44, 2);
    const std::vector<std::uint8_t> bytes = test::BmpBytes(layout);
    IconStrips strips;
    MemoryStream file(bytes);
    file.Seek(static_cast<std::int64_t>(bytes.size()));  // the loader goes back to the start itself
    ASSERT_TRUE(strips.LoadButtonStrip(file));

    const BitmapHeaders& headers = strips.ButtonHeaders();
    EXPECT_TRUE(std::equal(headers.file.begin(), headers.file.end(), bytes.begin()));
    EXPECT_TRUE(std::equal(headers.info.begin(), headers.info.end(), bytes.begin() + 14));
    EXPECT_EQ(strips.ButtonStrip().palette.colors.size(), 3u);

    Bitmap icon;
    ASSERT_TRUE(strips.GetButtonIcon(1, icon));
    EXPECT_EQ(icon.pixels, std::vector<std::uint32_t>(4 * 22, 0x0000FF));
}

TEST(IconStripsTest, FailedLoadLeavesTheStripAsItWas) {
    IconStrips strips;
    MemoryStream good(FileOf(Numbered(84, 126)));
    ASSERT_TRUE(strips.LoadPopupStrip(good));
    const Bitmap strip = strips.PopupStrip();
    const BitmapHeaders headers = strips.PopupHeaders();

    MemoryStream bad(std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
    EXPECT_FALSE(strips.LoadPopupStrip(bad));
    EXPECT_EQ(strips.PopupStrip(), strip);
    EXPECT_EQ(strips.PopupHeaders(), headers);
}

TEST(IconStripsTest, PutTakesTheTopLeftOfALargerIconAndRefusesASmallerOne) {
    IconStrips strips;
    MemoryStream file(FileOf(Numbered(112, 44)));
    ASSERT_TRUE(strips.LoadButtonStrip(file));
    const Bitmap before = strips.ButtonStrip();

    EXPECT_FALSE(strips.PutButtonIcon(0, Filled(111, 22, 0)));
    EXPECT_FALSE(strips.PutButtonIcon(0, Filled(112, 21, 0)));
    Bitmap broken = Filled(112, 22, 0);
    broken.pixels.pop_back();
    EXPECT_FALSE(strips.PutButtonIcon(0, broken));
    EXPECT_EQ(strips.ButtonStrip(), before);

    ASSERT_TRUE(strips.PutButtonIcon(1, Numbered(120, 30)));
    Bitmap icon;
    ASSERT_TRUE(strips.GetButtonIcon(1, icon));
    EXPECT_EQ(icon.pixels, Numbered(112, 22).pixels);
}

TEST(IconStripsTest, StripStoredTopDownCountsItsIconsFromTheTop) {
    // Two button icons, stored top-down: the first stored row is the top of icon 0.
    test::BmpLayout layout{.width = 1, .height = -44, .bitsPerPixel = 24};
    for (int y = 0; y < 44; ++y) layout.pixels.insert(layout.pixels.end(), {static_cast<std::uint8_t>(y), 0, 0, 0});
    IconStrips strips;
    MemoryStream file(test::BmpBytes(layout));
    ASSERT_TRUE(strips.LoadButtonStrip(file));
    EXPECT_EQ(strips.ButtonIconCount(), 2u);
    Bitmap icon;
    ASSERT_TRUE(strips.GetButtonIcon(1, icon));
    EXPECT_EQ(icon.Pixel(0, 0), 22u);
}

// A popup strip of two icons as 8-bit run-length data, with a colour 0 that is not black: icon 0
// a frame of index 3 around index 0, icon 1 stripes of indices 1 and 2 below three rows of index
// 0. Each seed writes it differently, the zeros written out or skipped.
struct RunLengthStrip {
    std::vector<std::uint32_t> table = {0x0A0B0C, 0x112233, 0x445566, 0x778899};
    test::IndexPicture picture{.width = 84, .height = 126};

    RunLengthStrip() {
        for (std::int32_t y = 0; y < 126; ++y)
            for (std::int32_t x = 0; x < 84; ++x) {
                const bool frame = y < 63 && (x == 0 || x == 83 || y == 0 || y == 62);
                const bool stripes = y >= 66;
                picture.indices.push_back(static_cast<std::uint8_t>(frame ? 3 : stripes ? 1 + (x / 7) % 2 : 0));
            }
    }
    std::vector<std::uint8_t> File(std::uint32_t seed) const {
        return test::BmpBytes({.width = 84, .height = 126, .bitsPerPixel = 8, .compression = 1, .coloursUsed = 4,
                               .table = table, .pixels = test::RunLengthData(picture, 8, seed)});
    }
    std::vector<std::uint32_t> Colours(std::int32_t firstRow, std::int32_t rows) const {
        std::vector<std::uint32_t> colours;
        for (std::int32_t y = firstRow; y < firstRow + rows; ++y)
            for (std::int32_t x = 0; x < 84; ++x) colours.push_back(table[picture.At(x, y)]);
        return colours;
    }
};

TEST(IconStripsTest, RunLengthStripLoadsAndCutsItsIcons) {
    const RunLengthStrip strip;
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        const std::vector<std::uint8_t> bytes = strip.File(seed);
        IconStrips strips;
        MemoryStream file(bytes);
        ASSERT_TRUE(strips.LoadPopupStrip(file));
        EXPECT_EQ(strips.PopupIconCount(), 2u);
        EXPECT_TRUE(std::equal(strips.PopupHeaders().info.begin(), strips.PopupHeaders().info.end(), bytes.begin() + 14));
        EXPECT_EQ(strips.PopupStrip().palette.colors.size(), 4u);

        Bitmap icon;
        ASSERT_TRUE(strips.GetPopupIcon(0, icon));
        EXPECT_EQ(icon.pixels, strip.Colours(0, 63));
        ASSERT_TRUE(strips.GetPopupIcon(1, icon));
        EXPECT_EQ(icon.pixels, strip.Colours(63, 63));
    }
}

// Whatever form a strip's file had, writing the strip gives the bytes of its decoded picture
// encoded afresh; a file already in that form is written as it was read.
TEST(IconStripsTest, WritingGivesThePictureEncodedAfreshWhateverTheFileWas) {
    std::vector<std::uint8_t> padded = FileOf(Numbered(1, 44));  // rows of 3 bytes and 1 of padding
    std::vector<std::uint8_t> dirty = padded;
    dirty[54 + 3] = 0x7F;  // padding that is not zero
    test::BmpLayout indexed{.width = 4, .height = 44, .bitsPerPixel = 8, .coloursUsed = 2, .table = {0x102030, 0xFFEEDD}};
    for (int i = 0; i < 4 * 44; ++i) indexed.pixels.push_back(static_cast<std::uint8_t>(i % 2));
    std::vector<std::uint8_t> longer = FileOf(Numbered(112, 44));
    longer.push_back(0);  // a byte after the pixels
    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        bool writtenAsRead;
    } cases[] = {{"24-bit as a save writes it", FileOf(Numbered(112, 44)), true},
                 {"padded rows", padded, true},
                 {"padding not zero", dirty, false},
                 {"8-bit", test::BmpBytes(indexed), false},
                 {"8-bit run-length", RunLengthStrip().File(4), false},
                 {"a byte after the pixels", longer, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IconStrips strips;
        MemoryStream file(c.file);
        ASSERT_TRUE(strips.LoadButtonStrip(file));
        MemoryStream written;
        ASSERT_TRUE(strips.WriteButtonStrip(written));
        EXPECT_EQ(written.Copy(), EncodeBitmapFile(strips.ButtonStrip()).value());
        EXPECT_EQ(written.Copy() == c.file, c.writtenAsRead);
    }
}

// A copy (the review's baseline, an undo step) keeps its picture when the strips it was taken
// from change, and the other way round.
TEST(IconStripsTest, CopiesKeepTheirOwnPictureWhenEitherChanges) {
    IconStrips strips;
    const std::vector<std::uint8_t> bytes = FileOf(Numbered(84, 126));
    MemoryStream file(bytes);
    ASSERT_TRUE(strips.LoadPopupStrip(file));
    const IconStrips copy = strips;
    EXPECT_TRUE(copy.SamePopupStrip(strips));

    ASSERT_TRUE(strips.PutPopupIcon(1, Filled(84, 63, 0x123456)));
    ASSERT_TRUE(strips.PutPopupIcon(0, Filled(84, 63, 0x654321)));
    EXPECT_FALSE(copy.SamePopupStrip(strips));
    Bitmap icon;
    ASSERT_TRUE(copy.GetPopupIcon(1, icon));
    EXPECT_EQ(icon.Pixel(0, 0), static_cast<std::uint32_t>(63 << 8));
    MemoryStream written;
    ASSERT_TRUE(copy.WritePopupStrip(written));
    EXPECT_EQ(written.Copy(), bytes);

    IconStrips back = copy;
    ASSERT_TRUE(back.PutPopupIcon(1, Filled(84, 63, 0x123456)));
    ASSERT_TRUE(back.PutPopupIcon(0, Filled(84, 63, 0x654321)));
    EXPECT_TRUE(back.SamePopupStrip(strips));
    ASSERT_TRUE(copy.GetPopupIcon(0, icon));
    EXPECT_EQ(icon.Pixel(83, 62), static_cast<std::uint32_t>(62 << 8 | 83));
}

}  // namespace
}  // namespace tw

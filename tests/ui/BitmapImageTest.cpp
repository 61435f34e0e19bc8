#include "ui/BitmapImage.h"

#include <gtest/gtest.h>

#include "icons/Bitmap.h"

namespace tw {
namespace {

TEST(BitmapImageTest, KeepsEveryColourExactlyWithTheTopRowFirst) {
    Bitmap bitmap(3, 2);
    bitmap.pixels = {0x000000, 0xFFFFFF, 0x123456, 0xFF0000, 0x00FF00, 0x0000FF};
    bitmap.palette.colors = {{1, 2, 3}};
    const QImage image = ToQImage(bitmap);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_FALSE(image.hasAlphaChannel());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixel(x, y), 0xFF000000u | bitmap.Pixel(x, y)) << x << "," << y;
}

TEST(BitmapImageTest, BitmapsThatAreNotWellFormedGiveNoImage) {
    Bitmap empty;
    Bitmap missingPixel(2, 2);
    missingPixel.pixels.pop_back();
    Bitmap negative;
    negative.width = -1;
    negative.height = 1;
    negative.pixels = {0};
    for (const Bitmap* bitmap : {&empty, &missingPixel, &negative}) EXPECT_TRUE(ToQImage(*bitmap).isNull());
}

}  // namespace
}  // namespace tw

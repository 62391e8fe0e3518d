// Bitmaps among the module's own resources, by numeric id (test_bitmaps.rc).
#include <gtest/gtest.h>

#include "platform/BitmapResources.h"

namespace {

TEST(Win32BitmapResources, KeepEveryPixelOfTheResource) {
    auto image = platform::loadBitmapResource(501);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width(), 5);
    ASSERT_EQ(image->height(), 3);
    // Top row first, although the file stores rows bottom-up and pads them to 16 bytes.
    const platform::Color expected[3][5] = {
        {{255, 255, 255, 255}, {254, 255, 255, 255}, {255, 0, 0, 255}, {0, 255, 0, 255},
         {0, 0, 255, 255}},
        {{1, 2, 3, 255}, {250, 128, 7, 255}, {0, 0, 0, 255}, {255, 255, 255, 255},
         {18, 52, 86, 255}},
        {{200, 100, 50, 255}, {10, 20, 30, 255}, {128, 128, 128, 255}, {255, 254, 255, 255},
         {77, 0, 155, 255}},
    };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image->pixel(x, y), expected[y][x]) << "pixel (" << x << ", " << y << ")";
    // One image for every holder, at every scale: the module has the 1x set only.
    EXPECT_EQ(platform::loadBitmapResource(501, 2.0), image);
    int width = 0, height = 0;
    ASSERT_TRUE(platform::bitmapResourceSize(501, width, height));
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
}

TEST(Win32BitmapResources, UnknownOrImpossibleIdsGiveNothing) {
    EXPECT_FALSE(platform::loadBitmapResource(502));
    EXPECT_FALSE(platform::loadBitmapResource(0));
    EXPECT_FALSE(platform::loadBitmapResource(-501));
    EXPECT_FALSE(platform::loadBitmapResource(501 + 0x10000)) << "must not be cut to id 501";
    int width = 0, height = 0;
    EXPECT_FALSE(platform::bitmapResourceSize(502, width, height));
    EXPECT_FALSE(platform::bitmapResourceSize(501 + 0x10000, width, height));
}

}  // namespace

// The skin's bitmaps as images, from the packed skin embedded in the program, as on Linux.
#include <gtest/gtest.h>

#include "platform/BitmapResources.h"
#include "skin/SkinBitmaps.h"
#include "skin/SkinLayout.h"

namespace {

TEST(Win32BitmapResources, KeepEveryPixelOfTheSkin) {
    for (const skin::BitmapLayout& layout : skin::kBitmaps) {
        const SkinBitmap* bitmap = findSkinBitmap(layout.id);
        ASSERT_TRUE(bitmap) << layout.name;
        const auto image = platform::loadBitmapResource(layout.id);
        ASSERT_TRUE(image) << layout.name;
        ASSERT_EQ(image->width(), layout.width) << layout.name;
        ASSERT_EQ(image->height(), layout.height) << layout.name;
        int differing = 0;
        for (int y = 0; y < layout.height; ++y) {
            for (int x = 0; x < layout.width; ++x) {
                const unsigned char* rgb = bitmap->rgb + (size_t(y) * size_t(layout.width) + x) * 3;
                const platform::Color got = image->pixel(x, y);
                differing += got.red != rgb[0] || got.green != rgb[1] || got.blue != rgb[2];
            }
        }
        EXPECT_EQ(differing, 0) << layout.name;
    }
}

TEST(Win32BitmapResources, TheTwoTimesSetIsSharedAtTwiceTheSize) {
    const auto image = platform::loadBitmapResource(skin::kBackground.id, 2.0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2.0);
    EXPECT_EQ(image->width(), skin::kBackground.width);
    EXPECT_EQ(image->deviceWidth(), 2 * skin::kBackground.width);
    EXPECT_EQ(image->deviceHeight(), 2 * skin::kBackground.height);
    // Every scale above 1 draws from the same image, and the set's others stay with it.
    EXPECT_EQ(platform::loadBitmapResource(skin::kBackground.id, 1.5), image);
    EXPECT_EQ(platform::loadBitmapResource(skin::kBackground.id, 1.0)->scale(), 1.0);
}

TEST(Win32BitmapResources, UnknownIdsGiveNothing) {
    for (int id : {0, -1, 501, 12127, 12130, 20000, 12128 + 0x10000}) {
        EXPECT_FALSE(platform::loadBitmapResource(id)) << id;
        int width = 0, height = 0;
        EXPECT_FALSE(platform::bitmapResourceSize(id, width, height)) << id;
    }
}

}  // namespace

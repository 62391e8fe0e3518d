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

TEST(Win32BitmapResources, UnknownIdsGiveNothing) {
    for (int id : {0, -1, 501, 12127, 12130, 20000, 12128 + 0x10000})
        EXPECT_FALSE(platform::loadBitmapResource(id)) << id;
}

}  // namespace

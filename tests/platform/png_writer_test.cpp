// PNG files written without a compression library, read back by a real PNG reader.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/common/PngWriter.h"
#include "support/TemporaryFolder.h"

namespace {

// Every channel of every pixel different, so that a lost, swapped or shifted byte shows.
std::vector<unsigned char> patternRgb(int width, int height) {
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            p[0] = uint8_t(x * 7 + y);
            p[1] = uint8_t(y * 13 + 5);
            p[2] = uint8_t((x ^ y) * 3 + 1);
        }
    return rgb;
}

// Reads path with cairo and compares it with rgb pixel for pixel.
void expectReadsBackAs(const std::string& path, int width, int height,
                       const std::vector<unsigned char>& rgb) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(image), width);
    ASSERT_EQ(cairo_image_surface_get_height(image), height);
    cairo_surface_flush(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride)[x];
            const unsigned char* want = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            uint32_t expected =
                0xFF000000u | (uint32_t(want[0]) << 16) | (uint32_t(want[1]) << 8) | want[2];
            if (pixel != expected && ++mismatches <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << pixel
                              << ", not " << expected;
        }
    EXPECT_EQ(mismatches, 0);
    cairo_surface_destroy(image);
}

TEST(PngWriter, ImagesOfEverySizeReadBackPixelForPixel) {
    TemporaryFolder folder;
    struct Size {
        int width, height;
    };
    // Rows of 28 pixels take 85 bytes with their filter byte; 771 of them fill one stored
    // block (65535 bytes) exactly, one more starts a second. 400 x 309 (the editor) spans
    // several blocks.
    for (Size size : {Size{1, 1}, Size{5, 3}, Size{28, 771}, Size{28, 772}, Size{400, 309}}) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        std::vector<unsigned char> rgb = patternRgb(size.width, size.height);
        std::string path = folder.file("image.png");
        ASSERT_TRUE(platform::writePngFile(path, size.width, size.height, rgb.data()));
        expectReadsBackAs(path, size.width, size.height, rgb);
    }
}

TEST(PngWriter, NothingIsWrittenForBadInput) {
    TemporaryFolder folder;
    std::vector<unsigned char> rgb = patternRgb(4, 4);
    EXPECT_TRUE(platform::encodePng(0, 4, rgb.data()).empty());
    EXPECT_TRUE(platform::encodePng(4, -1, rgb.data()).empty());
    EXPECT_TRUE(platform::encodePng(4, 4, nullptr).empty());
    EXPECT_TRUE(platform::encodePng(1 << 20, 1 << 20, rgb.data()).empty());  // 3 TB
    EXPECT_FALSE(platform::writePngFile(folder.file("none.png"), 0, 4, rgb.data()));
    EXPECT_FALSE(folder.exists("none.png"));
    EXPECT_FALSE(platform::writePngFile(folder.file("missing/dir/a.png"), 4, 4, rgb.data()));
}

}  // namespace

// The GDI canvas on images: what every drawing operation leaves in the pixels, with
// msimg32's blending functions and with the per-pixel fallbacks used without them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/GdiCanvas.h"

namespace {

using platform::Canvas;
using platform::Color;
using platform::Rect;

const Color kBlack{0, 0, 0, 255};
const Color kWhite{255, 255, 255, 255};
const Color kRed{255, 0, 0, 255};
const Color kBlue{0, 0, 255, 255};

bool same(Color a, Color b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

// How many pixels of rect have the colour.
int countOf(const Canvas& canvas, const Rect& rect, Color color) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) count += same(canvas.pixel(x, y), color);
    return count;
}

int countNot(const Canvas& canvas, const Rect& rect, Color color) {
    return rect.width() * rect.height() - countOf(canvas, rect, color);
}

std::unique_ptr<Canvas> imageOf(int width, int height, Color color) {
    auto canvas = Canvas::createImage(width, height);
    if (canvas) canvas->fillRect(Rect{0, 0, width, height}, color);
    return canvas;
}

TEST(GdiCanvas, ImagesStartBlackAndKeepTheirRgbPixelForPixel) {
    EXPECT_FALSE(Canvas::createImage(0, 5));
    EXPECT_FALSE(Canvas::createImage(5, -1));
    EXPECT_FALSE(Canvas::createFromRgb(2, 2, nullptr));
    auto black = Canvas::createImage(7, 3);
    ASSERT_TRUE(black);
    EXPECT_EQ(countOf(*black, Rect{0, 0, 7, 3}, kBlack), 21);

    std::vector<unsigned char> rgb;
    for (int i = 0; i < 5 * 4; ++i) rgb.insert(rgb.end(), {uint8_t(i * 12), uint8_t(255 - i), 7});
    auto image = Canvas::createFromRgb(5, 4, rgb.data());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 5);
    EXPECT_EQ(image->height(), 4);
    for (int i = 0; i < 20; ++i) {
        Color got = image->pixel(i % 5, i / 5);
        EXPECT_TRUE(same(got, Color{uint8_t(i * 12), uint8_t(255 - i), 7, 255})) << "pixel " << i;
        EXPECT_EQ(got.alpha, 255);
    }
    // Outside the image: transparent black.
    EXPECT_EQ(image->pixel(5, 0), (Color{0, 0, 0, 0}));
    EXPECT_EQ(image->pixel(0, -1), (Color{0, 0, 0, 0}));
}

TEST(GdiCanvas, FillsLeaveRightAndBottomOutAndStayInsideTheClip) {
    auto canvas = imageOf(20, 20, kBlack);
    canvas->fillRect(Rect{2, 3, 6, 8}, kRed);
    EXPECT_EQ(countOf(*canvas, Rect{0, 0, 20, 20}, kRed), 4 * 5);
    EXPECT_EQ(countOf(*canvas, Rect{2, 3, 6, 8}, kRed), 4 * 5);

    canvas->setClip(Rect{10, 10, 15, 12});
    canvas->fillRect(Rect{0, 0, 20, 20}, kBlue);
    EXPECT_EQ(countOf(*canvas, Rect{0, 0, 20, 20}, kBlue), 5 * 2);
    EXPECT_EQ(countOf(*canvas, Rect{10, 10, 15, 12}, kBlue), 5 * 2);
    // A new clip replaces the old one instead of narrowing it.
    canvas->setClip(Rect{0, 0, 2, 2});
    canvas->fillRect(Rect{0, 0, 20, 20}, kWhite);
    EXPECT_EQ(countOf(*canvas, Rect{0, 0, 20, 20}, kWhite), 4);
    canvas->setClip(Rect{0, 0, 0, 0});
    canvas->fillRect(Rect{0, 0, 20, 20}, kWhite);
    EXPECT_EQ(countOf(*canvas, Rect{0, 0, 20, 20}, kWhite), 4);
}

TEST(GdiCanvas, OnePixelLinesAreCrispAndLeaveTheEndPointOut) {
    auto canvas = imageOf(30, 30, kBlack);
    canvas->drawLine(2, 2, 12, 2, kWhite, 1);  // left to right
    EXPECT_EQ(countNot(*canvas, Rect{0, 0, 30, 30}, kBlack), 10);
    EXPECT_TRUE(same(canvas->pixel(2, 2), kWhite));
    EXPECT_TRUE(same(canvas->pixel(12, 2), kBlack));

    canvas = imageOf(30, 30, kBlack);
    canvas->drawLine(12, 5, 2, 5, kWhite, 1);  // right to left
    EXPECT_TRUE(same(canvas->pixel(12, 5), kWhite));
    EXPECT_TRUE(same(canvas->pixel(2, 5), kBlack));
    canvas->drawLine(20, 20, 20, 10, kRed, 1);  // upwards
    EXPECT_EQ(countOf(*canvas, Rect{0, 0, 30, 30}, kRed), 10);
    EXPECT_TRUE(same(canvas->pixel(20, 10), kBlack));

    // A diagonal: one pixel per column, no anti-aliased shades, the end left out.
    canvas = imageOf(30, 30, kBlack);
    canvas->drawLine(0, 0, 10, 10, kWhite, 1);
    EXPECT_EQ(countOf(*canvas, Rect{0, 0, 30, 30}, kWhite), 10);
    EXPECT_EQ(countNot(*canvas, Rect{0, 0, 30, 30}, kBlack), 10);
    EXPECT_TRUE(same(canvas->pixel(9, 9), kWhite));
    EXPECT_TRUE(same(canvas->pixel(10, 10), kBlack));

    // Wide lines are as wide as asked.
    canvas = imageOf(30, 30, kBlack);
    canvas->drawLine(5, 15, 25, 15, kWhite, 3);
    int column = 0;
    for (int y = 0; y < 30; ++y) column += same(canvas->pixel(15, y), kWhite);
    EXPECT_EQ(column, 3);
}

// Above 1x a slanted line is smooth: shades at its edges, and each column across it holds
// about its width's worth of ink.
TEST(GdiCanvas, SlantedLinesAbove1xAreSmoothAndAsWideAsTheScale) {
    auto canvas = Canvas::createImage(20, 20, 2.0);
    canvas->drawLine(2, 2, 12, 7, kWhite, 1);  // device (5, 5) to (25, 15)
    int shades = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            Color c = canvas->pixel(x, y);
            shades += !same(c, kBlack) && !same(c, kWhite);
        }
    EXPECT_GT(shades, 20);
    double ink = 0;
    for (int y = 0; y < 40; ++y) ink += canvas->pixel(15, y).red / 255.0;
    EXPECT_NEAR(ink, 2 * std::hypot(1.0, 0.5), 0.3) << "two device pixels wide";
    EXPECT_EQ(countNot(*canvas, Rect{27, 0, 40, 40}, kBlack), 0) << "past its end";
    EXPECT_EQ(countNot(*canvas, Rect{0, 0, 3, 40}, kBlack), 0) << "before its start";
}

TEST(GdiCanvas, BlockCopiesTakeOnlyWhatTheSourceHas) {
    auto source = imageOf(10, 10, kRed);
    source->fillRect(Rect{0, 0, 5, 10}, kBlue);
    auto dest = imageOf(20, 20, kBlack);
    dest->copyFrom(*source, 3, 0, Rect{0, 0, 4, 2});
    EXPECT_TRUE(same(dest->pixel(0, 0), kBlue));
    EXPECT_TRUE(same(dest->pixel(1, 1), kBlue));
    EXPECT_TRUE(same(dest->pixel(2, 0), kRed));
    EXPECT_TRUE(same(dest->pixel(3, 1), kRed));
    EXPECT_TRUE(same(dest->pixel(4, 0), kBlack));
    EXPECT_TRUE(same(dest->pixel(0, 2), kBlack));
    // Reaching past the source's corner copies the part inside it, in place.
    dest = imageOf(20, 20, kBlack);
    dest->copyFrom(*source, 8, 8, Rect{10, 10, 16, 16});
    EXPECT_EQ(countOf(*dest, Rect{0, 0, 20, 20}, kRed), 4);
    EXPECT_EQ(countOf(*dest, Rect{10, 10, 12, 12}, kRed), 4);
}

// Runs a test body once with msimg32's functions and once with the fallbacks.
class GdiBlending : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        saved = platform::gdi::blendFunctions();
        ASSERT_TRUE(saved.transparentBlt) << "msimg32 should be found";
        ASSERT_TRUE(saved.alphaBlend);
        if (!GetParam()) platform::gdi::blendFunctions() = platform::gdi::BlendFunctions{};
    }
    void TearDown() override { platform::gdi::blendFunctions() = saved; }
    platform::gdi::BlendFunctions saved{};
};

TEST_P(GdiBlending, KeyedCopiesLeaveOutExactlyTheKeyColour) {
    const Color offWhite{254, 255, 255, 255};
    auto source = imageOf(4, 2, kWhite);  // the key
    source->fillRect(Rect{1, 0, 2, 2}, offWhite);
    source->fillRect(Rect{2, 0, 3, 2}, kRed);
    auto dest = imageOf(10, 10, kBlue);
    dest->copyKeyed(*source, 0, 0, Rect{3, 3, 7, 5}, kWhite);
    EXPECT_TRUE(same(dest->pixel(3, 3), kBlue));
    EXPECT_TRUE(same(dest->pixel(4, 3), offWhite));
    EXPECT_TRUE(same(dest->pixel(5, 4), kRed));
    EXPECT_TRUE(same(dest->pixel(6, 4), kBlue));
    EXPECT_EQ(countOf(*dest, Rect{0, 0, 10, 10}, kBlue), 100 - 4);
    // A source offset picks the frame of a strip; the key's alpha does not matter.
    dest = imageOf(10, 10, kBlue);
    dest->copyKeyed(*source, 2, 1, Rect{0, 0, 2, 1}, Color{255, 255, 255, 0});
    EXPECT_TRUE(same(dest->pixel(0, 0), kRed));
    EXPECT_TRUE(same(dest->pixel(1, 0), kBlue));
    EXPECT_EQ(countOf(*dest, Rect{0, 0, 10, 10}, kBlue), 99);
}

TEST_P(GdiBlending, BlendsMixSourceAndDestinationByOneOpacity) {
    auto source = imageOf(6, 6, kWhite);
    for (int alpha : {0, 64, 128, 255}) {
        SCOPED_TRACE(alpha);
        auto dest = imageOf(10, 10, kBlack);
        dest->blend(*source, 0, 0, Rect{2, 2, 8, 8}, uint8_t(alpha));
        Color mixed = dest->pixel(4, 4);
        EXPECT_NEAR(mixed.red, alpha, 1);
        EXPECT_NEAR(mixed.blue, alpha, 1);
        EXPECT_TRUE(same(dest->pixel(1, 4), kBlack));
        EXPECT_TRUE(same(dest->pixel(8, 4), kBlack));
    }
    // A block reaching past the source blends the part inside it instead of nothing.
    auto dest = imageOf(10, 10, kBlack);
    dest->blend(*source, 3, 3, Rect{0, 0, 6, 6}, 255);
    EXPECT_EQ(countOf(*dest, Rect{0, 0, 10, 10}, kWhite), 9);
}

// A 1x bitmap on a 2x canvas: resampled once per block and device size, its key colour
// left clear with smooth edges, blended with one opacity; AlphaBlend and the fallback alike.
TEST_P(GdiBlending, BitmapsOfAnotherScaleAreResampledOnceKeyedAndBlended) {
    auto source = imageOf(4, 2, kWhite);  // key, red, red, key
    source->fillRect(Rect{1, 0, 3, 2}, kRed);
    auto dest = Canvas::createImage(10, 5, 2.0);
    ASSERT_TRUE(dest);
    EXPECT_EQ(dest->deviceWidth(), 20);
    EXPECT_EQ(dest->deviceHeight(), 10);
    dest->fillRect(Rect{0, 0, 10, 5}, kBlue);
    dest->copyKeyed(*source, 0, 0, Rect{3, 1, 7, 3}, kWhite);
    // The block lands on device (6, 2)-(14, 6): red in the middle, the key's columns blue.
    for (int y = 2; y < 6; ++y) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(same(dest->pixel(9, y), kRed));
        EXPECT_TRUE(same(dest->pixel(10, y), kRed));
        EXPECT_TRUE(same(dest->pixel(6, y), kBlue));
        EXPECT_TRUE(same(dest->pixel(13, y), kBlue));
        // The shape's edge is a mix, not a step.
        Color edge = dest->pixel(7, y);
        EXPECT_GT(edge.red, 10);
        EXPECT_GT(edge.blue, 10);
    }
    EXPECT_TRUE(same(dest->pixel(9, 1), kBlue));
    EXPECT_TRUE(same(dest->pixel(9, 6), kBlue));
    EXPECT_EQ(source->impl().resampledBlocks.size(), 1u);
    dest->copyKeyed(*source, 0, 0, Rect{0, 0, 4, 2}, kWhite);
    EXPECT_EQ(source->impl().resampledBlocks.size(), 1u) << "the same block is resampled once";
    dest->copyFrom(*source, 0, 0, Rect{0, 0, 4, 2});
    EXPECT_EQ(source->impl().resampledBlocks.size(), 2u) << "unkeyed, it is another block";
    EXPECT_TRUE(same(dest->pixel(0, 0), kWhite));

    auto grey = Canvas::createImage(10, 5, 2.0);
    grey->blend(*imageOf(4, 2, kWhite), 0, 0, Rect{1, 1, 5, 3}, 128);
    EXPECT_NEAR(grey->pixel(2, 2).green, 128, 1);
    EXPECT_NEAR(grey->pixel(9, 5).green, 128, 1);
    EXPECT_TRUE(same(grey->pixel(1, 3), kBlack));
    EXPECT_TRUE(same(grey->pixel(10, 3), kBlack));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutMsimg32, GdiBlending, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "msimg32" : "fallback";
                         });

// The bounding box of the pixels that are not the background.
Rect inkOf(const Canvas& canvas, Color background) {
    Rect ink{canvas.width(), canvas.height(), 0, 0};
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (!same(canvas.pixel(x, y), background)) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
    return ink;
}

TEST(GdiCanvas, TextIsDrawnInsideItsRectangleAlignedAndCentredVertically) {
    const Rect box{10, 10, 190, 40};
    auto draw = [&](platform::TextAlign align, const Color* background) {
        auto canvas = imageOf(200, 50, kBlack);
        canvas->setFont(platform::FontSpec{"Arial", 14, false, false, false});
        canvas->drawText("Glue \xC4g", box, kWhite, align, background);
        return canvas;
    };
    auto left = draw(platform::TextAlign::Left, nullptr);
    Rect ink = inkOf(*left, kBlack);
    ASSERT_FALSE(ink.empty()) << "no text drawn";
    EXPECT_GE(ink.left, box.left);
    EXPECT_LT(ink.left, box.left + 5);
    EXPECT_GT(ink.width(), 20);
    EXPECT_GE(ink.top, box.top);
    EXPECT_LE(ink.bottom, box.bottom);
    // The glyphs sit around the middle of the box.
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, (box.top + box.bottom) / 2.0, 4);

    Rect right = inkOf(*draw(platform::TextAlign::Right, nullptr), kBlack);
    EXPECT_LE(right.right, box.right);
    EXPECT_GT(right.right, box.right - 5);
    Rect centre = inkOf(*draw(platform::TextAlign::Center, nullptr), kBlack);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, (box.left + box.right) / 2.0, 3);
    EXPECT_EQ(centre.width(), ink.width());

    // With a background the text's cell is filled, and nothing outside the box.
    auto opaque = draw(platform::TextAlign::Left, &kRed);
    EXPECT_GT(countOf(*opaque, box, kRed), ink.width() * 8);
    EXPECT_EQ(countOf(*opaque, Rect{0, 0, 200, 10}, kRed), 0);
    EXPECT_EQ(countOf(*opaque, Rect{0, 40, 200, 50}, kRed), 0);

    // Text is cut at the rectangle.
    auto cut = imageOf(200, 50, kBlack);
    cut->drawText("WWWWWWWWWWWWWWWWWWWW", Rect{10, 10, 40, 40}, kWhite,
                  platform::TextAlign::Left, nullptr);
    Rect cutInk = inkOf(*cut, kBlack);
    ASSERT_FALSE(cutInk.empty()) << "no text drawn with the default font";
    EXPECT_LE(cutInk.right, 40);
}

TEST(GdiCanvas, ASecondCanvasOnAnImageHasItsOwnClipAndFontButTheSamePixels) {
    auto image = imageOf(40, 40, kBlack);
    image->setClip(Rect{0, 0, 5, 5});
    image->setFont(platform::FontSpec{"Arial", 20, true, false, false});
    {
        auto second = Canvas::drawingOn(*image);
        ASSERT_TRUE(second);
        EXPECT_EQ(second->width(), 40);
        second->fillRect(Rect{10, 10, 20, 20}, kRed);  // not limited by the first one's clip
        EXPECT_EQ(countOf(*image, Rect{0, 0, 40, 40}, kRed), 100);
        second->setClip(Rect{10, 10, 12, 12});
        image->fillRect(Rect{0, 0, 40, 40}, kBlue);  // the first one's clip still holds
        EXPECT_EQ(countOf(*image, Rect{0, 0, 40, 40}, kBlue), 25);
        second->fillRect(Rect{0, 0, 40, 40}, kWhite);
        EXPECT_EQ(countOf(*second, Rect{0, 0, 40, 40}, kWhite), 4);
        second->setFont(platform::FontSpec{"Arial", 9, false, false, false});
    }
    // The first canvas draws on with its own font after the second one has gone.
    image->setClip(Rect{0, 0, 40, 40});
    image->fillRect(Rect{0, 0, 40, 40}, kBlack);
    image->drawText("W", Rect{0, 0, 40, 40}, kWhite, platform::TextAlign::Left, nullptr);
    EXPECT_GT(inkOf(*image, kBlack).height(), 11) << "the 20-pixel font is gone";

    // The pixels outlive the canvas they were made with.
    auto orphan = Canvas::drawingOn(*image);
    image.reset();
    orphan->fillRect(Rect{0, 0, 2, 2}, kRed);
    EXPECT_EQ(countOf(*orphan, Rect{0, 0, 40, 40}, kRed), 4);
}

TEST(GdiCanvas, PngFilesHoldTheImageAndFailuresAreReported) {
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    std::string path = std::string(folder) + "krv-gdi-canvas-test.png";
    auto image = imageOf(3, 2, kRed);
    ASSERT_TRUE(image->writePng(path));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::remove(path.c_str());
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(bytes[19], 3);  // width, big-endian
    EXPECT_EQ(bytes[23], 2);  // height
    // The rows as stored: filter byte 0, then red pixels.
    EXPECT_NE(bytes.find(std::string("\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00", 10)),
              std::string::npos);
    EXPECT_FALSE(image->writePng(std::string(folder) + "missing-folder\\x.png"));
    EXPECT_FALSE(Canvas::readPng(path)) << "no PNG reader on Windows";
}

}  // namespace

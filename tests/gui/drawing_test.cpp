// Draw contexts and bitmaps on image surfaces: rectangle rules, fonts with real
// fontconfig fonts, key-colour and blended blits, clipping.
#include "GuiTestSupport.h"

namespace {

constexpr platform::Color kPaper{255, 255, 255, 255};

int countPixels(const ImageContext& target, int width, int height, const CColor& color) {
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (target.at(x, y) == color) ++count;
    return count;
}

TEST(DrawContext, FillRectLeavesTheFirstRowAndColumnToTheOutline) {
    ImageContext target(20, 20);
    target.context->setFillColor(kRedCColor);
    target.context->fillRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(countPixels(target, 20, 20, kRedCColor), 81);
    EXPECT_TRUE(target.at(1, 1) == kRedCColor);
    EXPECT_TRUE(target.at(9, 9) == kRedCColor);
    EXPECT_TRUE(target.at(0, 5) == kBlackCColor);
    EXPECT_TRUE(target.at(5, 0) == kBlackCColor);
    EXPECT_TRUE(target.at(10, 10) == kBlackCColor);
}

TEST(DrawContext, DrawRectOutlinesFromTopLeftToRightMinusOne) {
    ImageContext target(20, 20);
    target.context->setFrameColor(kYellowCColor);
    target.context->drawRect(CRect(0, 0, 10, 10));
    EXPECT_EQ(countPixels(target, 20, 20, kYellowCColor), 36);  // the 10 x 10 ring
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(target.at(i, 0) == kYellowCColor);
        EXPECT_TRUE(target.at(i, 9) == kYellowCColor);
        EXPECT_TRUE(target.at(0, i) == kYellowCColor);
        EXPECT_TRUE(target.at(9, i) == kYellowCColor);
    }
    EXPECT_TRUE(target.at(5, 5) == kBlackCColor);
}

TEST(DrawContext, DrawingFollowsTheOffsetAndStaysInsideTheClip) {
    ImageContext target(40, 40);
    target.context->offset = CPoint(10, 5);
    target.context->setClipRect(CRect(0, 0, 5, 5));
    CRect clip;
    EXPECT_EQ(target.context->getClipRect(clip), CRect(0, 0, 5, 5));
    target.context->setFillColor(kBlueCColor);
    target.context->fillRect(CRect(-1, -1, 20, 20));
    EXPECT_TRUE(target.at(10, 5) == kBlueCColor);
    EXPECT_TRUE(target.at(14, 9) == kBlueCColor);
    EXPECT_TRUE(target.at(15, 9) == kBlackCColor);  // clipped
    EXPECT_TRUE(target.at(9, 5) == kBlackCColor);
}

TEST(DrawContext, AFontIndexOutsideTheTableSelectsTheBoldSystemFont) {
    ImageContext target(10, 10);
    target.context->setFont(kNormalFontBig);
    EXPECT_EQ(target.context->getFontSize(), 14);
    target.context->setFont(9);
    EXPECT_EQ(target.context->getFont(), kSystemFont);
    EXPECT_EQ(target.context->getFontSize(), 12);
    target.context->setFont(-3);
    EXPECT_EQ(target.context->getFont(), kSystemFont);
}

// The extent of pixels that differ from the paper, as a rectangle.
CRect inkBounds(const ImageContext& target, int width, int height) {
    CRect bounds(width, height, -1, -1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (target.at(x, y) == kWhiteCColor) continue;
            bounds.left = std::min(bounds.left, x);
            bounds.top = std::min(bounds.top, y);
            bounds.right = std::max(bounds.right, x);
            bounds.bottom = std::max(bounds.bottom, y);
        }
    return bounds;
}

TEST(DrawContext, TextIsOneLineAlignedAndVerticallyCentred) {
    ImageContext centred(120, 40);
    centred.image->fillRect(platform::Rect{0, 0, 120, 40}, kPaper);
    centred.context->setFontColor(kBlackCColor);
    centred.context->setFont(kNormalFont);
    centred.context->drawString("Ratio", CRect(0, 0, 120, 40), false, kCenterText);
    CRect ink = inkBounds(centred, 120, 40);
    ASSERT_GE(ink.right, 0) << "no text was drawn: is a font for \"Arial\" installed?";
    EXPECT_NEAR(ink.left, 119 - ink.right, 3);       // centred horizontally
    EXPECT_NEAR(ink.top + ink.bottom, 40 - 1, 8);    // centred vertically (cap height)
    EXPECT_GT(ink.right - ink.left, 15);             // a word, not a dot

    ImageContext left(120, 40);
    left.image->fillRect(platform::Rect{0, 0, 120, 40}, kPaper);
    left.context->setFontColor(kBlackCColor);
    left.context->drawString("Ratio", CRect(10, 0, 120, 40), false, kLeftText);
    EXPECT_LE(inkBounds(left, 120, 40).left, 13);
    EXPECT_GE(inkBounds(left, 120, 40).left, 11);  // one pixel in from the edge

    ImageContext right(120, 40);
    right.image->fillRect(platform::Rect{0, 0, 120, 40}, kPaper);
    right.context->setFontColor(kBlackCColor);
    right.context->drawString("Ratio", CRect(0, 0, 100, 40), false, kRightText);
    EXPECT_GE(inkBounds(right, 120, 40).right, 96);
    EXPECT_LE(inkBounds(right, 120, 40).right, 99);
}

TEST(DrawContext, OpaqueTextFillsItsCellWithTheFillColour) {
    ImageContext target(100, 30);
    target.image->fillRect(platform::Rect{0, 0, 100, 30}, kPaper);
    target.context->setFillColor(kBlueCColor);
    target.context->setFontColor(kWhiteCColor);
    target.context->drawString("Off", CRect(0, 0, 100, 30), true, kCenterText);
    EXPECT_GT(countPixels(target, 100, 30, kBlueCColor), 50);
    EXPECT_TRUE(target.at(2, 15) == kWhiteCColor);  // outside the text's cell
}

TEST(Bitmap, KeyColourBlitShowsTheDestinationThroughPureWhiteOnly) {
    // Column 0 pure white, column 1 off-white, column 2 red.
    CBitmap* bitmap = makeBitmap(3, 2, [](int x, int) {
        if (x == 0) return kWhiteCColor;
        if (x == 1) return CColor{254, 255, 255, 255};
        return kRedCColor;
    });
    ImageContext target(10, 10);
    target.image->fillRect(platform::Rect{0, 0, 10, 10}, platform::Color{0, 0, 255, 255});
    bitmap->drawTransparent(target.context, CRect(4, 4, 7, 6));
    EXPECT_TRUE(target.at(4, 4) == kBlueCColor);
    EXPECT_TRUE(target.at(5, 4) == (CColor{254, 255, 255, 255}));
    EXPECT_TRUE(target.at(6, 5) == kRedCColor);
    EXPECT_TRUE(target.at(7, 5) == kBlueCColor);
    bitmap->forget();
}

TEST(Bitmap, OpaqueBlitCopiesTheBlockAtTheSourceOffset) {
    // Three frames of 4 rows: red, green, blue.
    CBitmap* strip = makeBitmap(4, 12, [](int, int y) {
        return y < 4 ? kRedCColor : (y < 8 ? kGreenCColor : kBlueCColor);
    });
    ImageContext target(10, 10);
    target.context->offset = CPoint(2, 3);
    strip->draw(target.context, CRect(0, 0, 4, 4), CPoint(0, 8));
    EXPECT_TRUE(target.at(2, 3) == kBlueCColor);
    EXPECT_TRUE(target.at(5, 6) == kBlueCColor);
    EXPECT_TRUE(target.at(6, 7) == kBlackCColor);
    strip->forget();
}

TEST(Bitmap, BlendingMixesWithOneOpacity) {
    CBitmap* white = makeBitmap(4, 4, [](int, int) { return kWhiteCColor; });
    ImageContext target(4, 4);
    white->drawAlphaBlend(target.context, CRect(0, 0, 4, 4), CPoint(), 128);
    platform::Color mixed = target.at(1, 1);
    EXPECT_NEAR(mixed.red, 128, 2);
    EXPECT_EQ(mixed.red, mixed.blue);
    white->forget();
}

TEST(Bitmap, UnknownResourcesAreEmptyAndDrawNothing) {
    CBitmap missing(4242);
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.getWidth(), 0);
    ImageContext target(4, 4);
    missing.draw(target.context, CRect(0, 0, 4, 4));
    EXPECT_TRUE(target.at(1, 1) == kBlackCColor);
    EXPECT_FALSE(missing.loadFromPath("anything.bmp"));

    CBitmap background(12128);
    EXPECT_EQ(background.getWidth(), 400);
    EXPECT_EQ(background.getHeight(), 309);
}

}  // namespace

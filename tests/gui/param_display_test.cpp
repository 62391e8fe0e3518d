// Parameter display: the value as text, drawn with the real fonts, and the background,
// frame and text styles.
#include <cstring>

#include "GuiTestSupport.h"
#include "gui/CParamDisplay.h"

namespace {

constexpr CColor kBack{0, 0, 255, 255};
constexpr CColor kFrame{0, 255, 0, 255};
constexpr CColor kShadow{255, 0, 0, 255};

// A 60 x 20 display at (2, 2) in a 70 x 30 black image.
struct Display {
    Display() : display(new CParamDisplay(CRect(2, 2, 62, 22))) {
        display->setBackColor(kBack);
        display->setFrameColor(kFrame);
        display->setShadowColor(kShadow);
        display->setTransparency(false);
    }
    ~Display() { display->forget(); }
    std::unique_ptr<platform::Canvas> draw() {
        auto target = std::make_unique<ImageContext>(70, 30);
        display->draw(target->context);
        auto image = std::move(target->image);
        return image;
    }
    CParamDisplay* display;
};

int countColor(const platform::Canvas& image, const CColor& color, CRect area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (image.pixel(x, y) == color) ++count;
    return count;
}

// Pixels of text: anything that is not the plain back colour.
int countText(const platform::Canvas& image, CRect area) {
    return area.width() * area.height() - countColor(image, kBack, area);
}

// Pixels where the red shadow shows: white text over blue never has more red than blue.
int countShadow(const platform::Canvas& image, CRect area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            platform::Color c = image.pixel(x, y);
            if (c.red > c.blue) ++count;
        }
    return count;
}

bool samePixels(const platform::Canvas& a, const platform::Canvas& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

void writeHalf(float, char* text) { std::strcpy(text, "0.50"); }
void writeOne(float, char* text) { std::strcpy(text, "1.00"); }
void writeUserData(float, char* text, void* data) {
    std::strcpy(text, static_cast<const char*>(data));
}

const CRect kInterior(4, 4, 60, 20);

TEST(ParamDisplay, WithoutCallbacksTheValueIsShownWithTwoDecimals) {
    Display half, one, expectedHalf, expectedOne;
    half.display->setValue(0.5f);
    one.display->setValue(1.0f);
    expectedHalf.display->setStringConvert(writeHalf);
    expectedOne.display->setStringConvert(writeOne);
    auto halfImage = half.draw();
    auto oneImage = one.draw();
    EXPECT_GT(countText(*halfImage, kInterior), 20);
    EXPECT_TRUE(samePixels(*halfImage, *expectedHalf.draw()));
    EXPECT_TRUE(samePixels(*oneImage, *expectedOne.draw()));
    EXPECT_FALSE(samePixels(*halfImage, *oneImage));
}

TEST(ParamDisplay, TheUserDataCallbackComesFirst) {
    Display both, expected;
    char data[] = "user";
    both.display->setStringConvert(writeHalf);
    both.display->setStringConvert(writeUserData, data);
    expected.display->setStringConvert(writeUserData, data);
    Display plain;
    plain.display->setStringConvert(writeHalf);
    auto image = both.draw();
    EXPECT_TRUE(samePixels(*image, *expected.draw()));
    EXPECT_FALSE(samePixels(*image, *plain.draw()));
}

TEST(ParamDisplay, TheBackgroundIsFilledAndFramedUnlessTheStyleSaysOtherwise) {
    Display d;
    d.display->setStyle(kNoTextStyle);
    auto framed = d.draw();
    EXPECT_EQ(framed->pixel(2, 2), kFrame);
    EXPECT_EQ(framed->pixel(61, 21), kFrame);
    EXPECT_EQ(framed->pixel(3, 3), kBack);
    EXPECT_EQ(countText(*framed, kInterior), 0);
    EXPECT_EQ(framed->pixel(1, 1), kBlackCColor);  // nothing outside the control

    d.display->setStyle(kNoTextStyle | kNoFrame);
    auto unframed = d.draw();
    EXPECT_EQ(unframed->pixel(2, 2), kBlackCColor);  // the fill starts inside the outline
    EXPECT_EQ(unframed->pixel(3, 3), kBack);

    d.display->setStyle(kNoTextStyle);
    d.display->setTransparency(true);
    auto transparent = d.draw();
    EXPECT_EQ(countColor(*transparent, kBlackCColor, CRect(0, 0, 70, 30)), 70 * 30);
}

TEST(ParamDisplay, ABackgroundBitmapIsDrawnFromTheBackOffsetInsteadOfTheFill) {
    Display d;
    CBitmap* bitmap = makeBitmap(100, 40, [](int x, int) {
        return x < 10 ? CColor{10, 10, 10, 255} : CColor{200, 100, 0, 255};
    });
    d.display->setBackground(bitmap);
    d.display->setStyle(kNoTextStyle);
    d.display->setBackOffset(CPoint(10, 0));
    auto image = d.draw();
    EXPECT_EQ(image->pixel(2, 2), (CColor{200, 100, 0, 255}));
    EXPECT_EQ(countColor(*image, CColor{200, 100, 0, 255}, CRect(2, 2, 62, 22)), 60 * 20);
    bitmap->forget();
}

TEST(ParamDisplay, SunkenAndRaisedFramesSwapTheirColours) {
    Display d;
    d.display->setStyle(kNoTextStyle | k3DIn);
    auto sunken = d.draw();
    EXPECT_EQ(sunken->pixel(2, 10), kBack);         // left edge
    EXPECT_EQ(sunken->pixel(30, 3), kBack);         // top edge, one row down
    EXPECT_EQ(sunken->pixel(61, 10), kFrame);       // right edge
    EXPECT_EQ(sunken->pixel(30, 21), kFrame);       // bottom edge
    EXPECT_EQ(sunken->pixel(30, 2), kBlackCColor);  // no plain outline with a 3-D frame

    d.display->setStyle(kNoTextStyle | k3DOut);
    auto raised = d.draw();
    EXPECT_EQ(raised->pixel(2, 10), kFrame);
    EXPECT_EQ(raised->pixel(61, 10), kBack);
}

TEST(ParamDisplay, ShadowTextAddsTheShadowColourAndNoDrawStyleDrawsNothing) {
    Display d;
    auto plain = d.draw();
    EXPECT_GT(countText(*plain, kInterior), 20);
    EXPECT_EQ(countShadow(*plain, kInterior), 0);
    d.display->setStyle(kShadowText);
    auto shadowed = d.draw();
    EXPECT_GT(countShadow(*shadowed, kInterior), 5);

    d.display->setStyle(kNoDrawStyle);
    d.display->setDirty(true);
    auto nothing = d.draw();
    EXPECT_EQ(countColor(*nothing, kBlackCColor, CRect(0, 0, 70, 30)), 70 * 30);
    EXPECT_FALSE(d.display->isDirty());
}

TEST(ParamDisplay, TextStaysInsideTheControl) {
    Display d;
    d.display->setStringConvert([](float, char* text) { std::strcpy(text, "WWWWWWWWWWWWWWWW"); });
    d.display->setHoriAlign(kLeftText);
    auto image = d.draw();
    EXPECT_GT(countText(*image, kInterior), 20);
    EXPECT_EQ(countColor(*image, kBlackCColor, CRect(62, 0, 70, 30)), 8 * 30);
}

TEST(ParamDisplay, SettersMarkDirtyOnlyOnAChange) {
    Display d;
    CParamDisplay& display = *d.display;
    display.setDirty(false);
    display.setFontColor(kWhiteCColor);
    display.setFont(kNormalFont);
    display.setHoriAlign(kCenterText);
    display.setStyle(0);
    display.setTxtFace(kNormalFace);
    display.setBackColor(kBack);
    EXPECT_FALSE(display.isDirty());
    display.setTextTransparency(false);
    display.setStringConvert(writeHalf);
    EXPECT_FALSE(display.isDirty());
    display.setFont(kNormalFontBig);
    EXPECT_TRUE(display.isDirty());
    display.setDirty(false);
    display.setShadowColor(kBack);
    EXPECT_TRUE(display.isDirty());
    EXPECT_TRUE(display.isTypeOf("CParamDisplay"));
    EXPECT_TRUE(display.isTypeOf("CControl"));
}

}  // namespace

// Latin-1 text on a canvas, and its measure against what is drawn.
#include <gtest/gtest.h>

#include "platform/Canvas.h"
#include "platform/cairo/CairoText.h"

using platform::Canvas;
using platform::Color;
using platform::Rect;

namespace {

const platform::FontSpec kFont{"Arial", 16};
const Color kWhite{255, 255, 255, 255};

// The rightmost column with a lit pixel, -1 when none.
int rightmostInk(const Canvas& canvas) {
    for (int x = canvas.width() - 1; x >= 0; --x)
        for (int y = 0; y < canvas.height(); ++y)
            if (canvas.pixel(x, y).red > 0) return x;
    return -1;
}

}  // namespace

TEST(CanvasText, LatinOneTextIsDrawnAndTheCanvasKeepsWorking) {
    auto canvas = Canvas::createImage(80, 24);
    ASSERT_TRUE(canvas);
    canvas->setFont(kFont);
    canvas->drawText("Caf\xe9", Rect{0, 0, 80, 24}, kWhite, platform::TextAlign::Left, nullptr);
    EXPECT_GT(rightmostInk(*canvas), 20);  // the accented letter is there, after "Caf"
    canvas->fillRect(Rect{70, 0, 80, 24}, Color{255, 0, 0, 255});
    EXPECT_EQ(canvas->pixel(75, 5), (Color{255, 0, 0, 255}));
}

TEST(CanvasText, TheMeasuredAdvanceCoversWhatIsDrawn) {
    auto canvas = Canvas::createImage(200, 24);
    ASSERT_TRUE(canvas);
    for (const char* text : {"MMMM", "Init", "na\xefve", "01 Init"}) {
        canvas->fillRect(Rect{0, 0, 200, 24}, Color{0, 0, 0, 255});
        canvas->setFont(kFont);
        canvas->drawText(text, Rect{0, 0, 200, 24}, kWhite, platform::TextAlign::Left, nullptr);
        int advance = platform::textAdvance(*canvas, kFont, text);
        int ink = rightmostInk(*canvas);
        EXPECT_GT(ink, advance / 2) << text;
        EXPECT_LE(ink, advance) << text;
    }
    EXPECT_EQ(platform::textAdvance(*canvas, kFont, ""), 0);
    EXPECT_GT(platform::fontMetrics(*canvas, kFont).height, 12);
}

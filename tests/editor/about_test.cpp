// The about area and its splash: opening as the frame's modal view, the version text,
// closing by a left click, and the view's lifetime.
#include "EditorControlsSupport.h"
#include "editor/CAbout.h"

namespace {

constexpr CColor kPicture{30, 30, 34, 255};

CRect toCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

class AboutTest : public EditorFrameTest {
protected:
    void SetUp() override {
        EditorFrameTest::SetUp();
        CBitmap* picture =
            makeBitmap(skin::kAbout.width, skin::kAbout.height, [](int, int) { return kPicture; });
        about = add(new CAbout(toCRect(skin::kTitleArea), &listener, 13, picture,
                               toCRect(skin::kAbout.rect), CPoint(0, 0)));
        picture->forget();
    }
    void clickAt(int x, int y, int32_t buttons) {
        CPoint where(x, y);
        frame->mouse(nullptr, where, buttons);
    }
    CView* splash() const { return frame->getModalView(); }

    RecordingListener listener;
    CAbout* about = nullptr;
};

TEST_F(AboutTest, ALeftClickOpensThePictureAndALeftClickOnItClosesIt) {
    const int32_t references = about->getNbReference();
    for (int cycle = 0; cycle < 2; ++cycle) {
        clickAt(150, 30, kLButton);
        EXPECT_EQ(about->getValue(), 1.0f);
        ASSERT_NE(splash(), nullptr);
        EXPECT_NE(splash(), about);
        CRect shown;
        EXPECT_EQ(splash()->getViewSize(shown), CRect(0, 0, 400, 276));

        clickAt(200, 100, kRButton);  // the picture ignores other buttons
        EXPECT_NE(splash(), nullptr);
        clickAt(200, 100, kLButton);
        EXPECT_EQ(splash(), nullptr);
        EXPECT_EQ(about->getValue(), 0.0f);
        EXPECT_TRUE(frame->isDirty());
        // The view is gone: it held a reference to its owner while it existed.
        EXPECT_EQ(about->getNbReference(), references);
    }
    EXPECT_EQ(listener.values, std::vector<float>({1.0f, 0.0f, 1.0f, 0.0f}));
}

TEST_F(AboutTest, ThePictureCarriesTheVersionLeftAlignedInItsArea) {
    clickAt(150, 30, kLButton);
    ASSERT_NE(splash(), nullptr);
    ImageContext screen(skin::kEditorWidth, skin::kEditorHeight);
    splash()->draw(screen.context);
    EXPECT_EQ(screen.at(10, 10), kPicture);
    EXPECT_EQ(screen.at(399, 275), kPicture);
    const skin::Rect text = skin::kVersionText;
    int light = 0, leftmost = skin::kEditorWidth;
    for (int y = 0; y < skin::kAbout.height; ++y) {
        for (int x = 0; x < skin::kAbout.width; ++x) {
            if (screen.at(x, y).red < 120) continue;
            ++light;
            leftmost = std::min(leftmost, x);
            EXPECT_TRUE(x >= text.left && x < text.right && y >= text.top && y < text.bottom)
                << "text outside its area at " << x << ", " << y;
        }
    }
    EXPECT_GT(light, 20);                // "v. 1.1.6" in 12-pixel type
    EXPECT_LE(leftmost, text.left + 3);  // starts at the left edge
    EXPECT_FALSE(splash()->isDirty());
}

TEST_F(AboutTest, ARightClickOnTheTitleAreaChangesNothing) {
    clickAt(150, 30, kRButton);
    CPoint where(150, 30);
    about->mouse(nullptr, where, kRButton);
    EXPECT_EQ(about->getValue(), 0.0f);
    EXPECT_EQ(splash(), nullptr);
    EXPECT_TRUE(listener.values.empty());
}

TEST_F(AboutTest, AModifierClickOpensUnlessTheListenerTakesIt) {
    listener.modifierAnswer = 1;
    clickAt(150, 30, kLButton | kAlt);
    EXPECT_EQ(splash(), nullptr);
    listener.modifierAnswer = 0;
    clickAt(150, 30, kLButton | kShift);
    EXPECT_NE(splash(), nullptr);
    EXPECT_EQ(listener.modifierClicks,
              std::vector<int32_t>({kLButton | kAlt, kLButton | kShift}));
}

TEST_F(AboutTest, AnotherModalViewKeepsThePictureAwayUntilTheNextClick) {
    auto* other = new CView(CRect(0, 0, 10, 10));
    frame->setModalView(other);
    const int32_t references = about->getNbReference();
    CPoint where(150, 30);
    about->mouse(nullptr, where, kLButton);
    EXPECT_EQ(about->getValue(), 1.0f);
    EXPECT_EQ(splash(), other);
    EXPECT_TRUE(listener.values.empty());
    EXPECT_EQ(about->getNbReference(), references);  // the refused view was released
    about->mouse(nullptr, where, kLButton);
    EXPECT_EQ(about->getValue(), 0.0f);
    EXPECT_EQ(splash(), other);
    frame->setModalView(nullptr);
    other->forget();
}

TEST_F(AboutTest, DestroyingTheFrameWithThePictureUpReleasesTheView) {
    about->remember();
    clickAt(150, 30, kLButton);
    ASSERT_NE(splash(), nullptr);
    frame->forget();
    frame = nullptr;
    EXPECT_EQ(about->getNbReference(), 1);  // only the test's own
    about->forget();
}

}  // namespace

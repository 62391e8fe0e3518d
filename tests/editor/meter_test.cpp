// The gain-reduction meter: where its needle lands on the screen, which face and colour
// it shows, its level setters and its click.
#include "EditorControlsSupport.h"
#include "editor/COldVuMeter2.h"

namespace {

constexpr CColor kLitFace{20, 30, 90, 255};
constexpr CColor kUnlitFace{20, 70, 20, 255};
constexpr CColor kLitNeedle{170, 165, 160, 255};
constexpr CColor kUnlitNeedle{140, 135, 130, 255};
constexpr CColor kScreen{200, 0, 200, 255};

class MeterTest : public EditorFrameTest {
protected:
    // The editor's meter, with plain faces of faceHeight rows.
    COldVuMeter2* addMeter(int faceHeight = skin::kMeterLit.height) {
        const skin::Rect face = skin::kMeterLit.rect;
        CBitmap* lit = makeBitmap(face.width(), faceHeight, [](int, int) { return kLitFace; });
        CBitmap* unlit = makeBitmap(face.width(), faceHeight, [](int, int) { return kUnlitFace; });
        CBitmap* extra = makeBitmap(skin::kMeterExtra.width, skin::kMeterExtra.height,
                                    [](int, int) { return kBlackCColor; });
        auto* meter = add(new COldVuMeter2(CRect(face.left, face.top, 0, 0), &listener, 99, lit,
                                           extra, unlit,
                                           CPoint(skin::kNeedlePivotX, skin::kNeedlePivotY),
                                           skin::kNeedleInnerRadius, skin::kNeedleOuterRadius));
        lit->forget();
        unlit->forget();
        extra->forget();
        return meter;
    }
    // The meter drawn at value onto a screen of the editor's size painted kScreen.
    void drawAt(COldVuMeter2* meter, float value) {
        screen.context->setFillColor(kScreen);
        screen.context->fillRect(CRect(-1, -1, skin::kEditorWidth, skin::kEditorHeight));
        meter->setValue(value);
        meter->draw(screen.context);
    }
    bool needleAt(int x, int y, CColor needle = kLitNeedle) const {
        return screen.at(x, y) == needle;
    }

    RecordingListener listener;
    ImageContext screen{skin::kEditorWidth, skin::kEditorHeight};
};

// Needle-coloured pixels in rows top..bottom (inclusive) of the screen.
int needlePixelsInRows(const ImageContext& screen, int top, int bottom, CColor needle) {
    int count = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < skin::kEditorWidth; ++x) count += screen.at(x, y) == needle;
    return count;
}

TEST_F(MeterTest, TheNeedleTipSitsAtTheArcsEndsAtZeroAndOne) {
    COldVuMeter2* meter = addMeter();
    // Tips at (157, 80) and (243, 80) for pivot (200, 155) and radius 86; the strokes one
    // row lower reach one row further, and the end points themselves stay undrawn.
    drawAt(meter, 0.0f);
    EXPECT_TRUE(needleAt(157, 81));
    EXPECT_TRUE(needleAt(158, 81));
    EXPECT_EQ(needlePixelsInRows(screen, 66, 80, kLitNeedle), 0);
    EXPECT_TRUE(needleAt(163, 89));  // on the way down to the pivot, lower right
    EXPECT_FALSE(needleAt(157, 89));

    drawAt(meter, 1.0f);
    EXPECT_TRUE(needleAt(242, 81));
    EXPECT_TRUE(needleAt(243, 81));
    EXPECT_EQ(needlePixelsInRows(screen, 66, 80, kLitNeedle), 0);
    EXPECT_FALSE(needleAt(157, 81));  // nothing left of the previous needle
}

TEST_F(MeterTest, AtOneHalfTheNeedleIsVerticalFromTheInnerToTheOuterRadius) {
    // A face tall enough to show the pivot: the needle runs from y = 152 (radius 3) up
    // to y = 69 (radius 86), end points excluded, two pixels wide.
    COldVuMeter2* meter = addMeter(100);
    drawAt(meter, 0.5f);
    for (int x : {200, 201}) {
        EXPECT_TRUE(needleAt(x, 70)) << x;
        EXPECT_TRUE(needleAt(x, 110)) << x;
        EXPECT_TRUE(needleAt(x, 153)) << x;
        EXPECT_FALSE(needleAt(x, 69)) << x;
        EXPECT_FALSE(needleAt(x, 154)) << x;
    }
    EXPECT_EQ(screen.at(199, 110), kLitFace);
    EXPECT_EQ(screen.at(202, 110), kLitFace);
}

TEST_F(MeterTest, OnlyTheFaceReachesTheScreen) {
    COldVuMeter2* meter = addMeter();
    drawAt(meter, 0.5f);
    const skin::Rect face = skin::kMeterLit.rect;
    EXPECT_TRUE(needleAt(200, face.bottom - 1));
    // Below the face the needle goes on to its pivot, but only in the offscreen.
    EXPECT_EQ(screen.at(200, face.bottom), kScreen);
    EXPECT_EQ(screen.at(200, 140), kScreen);
    EXPECT_EQ(screen.at(face.left - 1, face.top), kScreen);
    EXPECT_EQ(screen.at(face.right, face.top), kScreen);
    EXPECT_EQ(screen.at(face.left, face.top), kLitFace);
    EXPECT_EQ(screen.at(face.right - 1, face.bottom - 1), kLitFace);
}

TEST_F(MeterTest, UnlitShowsTheUnlitFaceAndTheDarkerNeedle) {
    COldVuMeter2* meter = addMeter();
    meter->setValue(0.5f);
    meter->setDirty(false);
    meter->setLit(false);
    EXPECT_TRUE(meter->isDirty());
    drawAt(meter, 0.5f);
    EXPECT_EQ(screen.at(160, 100), kUnlitFace);
    EXPECT_TRUE(needleAt(200, 90, kUnlitNeedle));
    EXPECT_EQ(needlePixelsInRows(screen, 66, 108, kLitNeedle), 0);
    meter->setLit(true);
    drawAt(meter, 0.5f);
    EXPECT_EQ(screen.at(160, 100), kLitFace);
    EXPECT_TRUE(needleAt(200, 90));
}

TEST_F(MeterTest, APeakThatFellFromAboveOneHalfHoldsUntilOneHalfReturns) {
    COldVuMeter2* meter = addMeter();
    meter->setMainLevel(0.25f);
    meter->setPeakLevel(0.7f);
    EXPECT_FLOAT_EQ(meter->getValue(), 0.95f);
    EXPECT_FALSE(meter->isPeakReleased());
    meter->setPeakLevel(0.3f);
    EXPECT_EQ(meter->getPeakLevel(), -1.0f);
    EXPECT_TRUE(meter->isPeakReleased());
    EXPECT_FLOAT_EQ(meter->getValue(), -0.75f);
    meter->setPeakLevel(0.2f);
    EXPECT_EQ(meter->getPeakLevel(), -1.0f);
    meter->setPeakLevel(0.6f);
    EXPECT_FLOAT_EQ(meter->getPeakLevel(), 0.6f);
    meter->setPeakLevel(0.4f);  // from 0.6 the hold starts again
    EXPECT_TRUE(meter->isPeakReleased());
    meter->releasePeak();
    EXPECT_FALSE(meter->isPeakReleased());
    EXPECT_FLOAT_EQ(meter->getValue(), 0.25f + 1e-7f);
}

TEST_F(MeterTest, LevelSettersLimitTheirComponentsAndSetTheSum) {
    COldVuMeter2* meter = addMeter();
    meter->setMainLevel(0.0f);
    EXPECT_EQ(meter->getValue(), 1e-9f);  // silence is never exactly 0
    meter->setMainLevel(9.0f);
    EXPECT_EQ(meter->getValue(), 4.0f);
    meter->setMainLevel(0.5f);
    meter->setPeakLevel(-7.0f);
    EXPECT_EQ(meter->getPeakLevel(), -4.0f);
    meter->setPeakLevel(0.0f);  // below -0.5 the peak holds like a released one
    EXPECT_EQ(meter->getPeakLevel(), -4.0f);
    meter->releasePeak();
    meter->setExtraLevel(0.25f);
    EXPECT_NEAR(meter->getValue(), 0.75f, 1e-6);
    meter->setAuxLevelA(0.125f);
    EXPECT_NEAR(meter->getValue(), 0.875f, 1e-6);
    meter->setLevels(0.1f, 0.2f, 0.3f, 0.01f, 0.02f);
    EXPECT_NEAR(meter->getValue(), 0.63f, 1e-6);
    meter->primeLevels();
    EXPECT_FLOAT_EQ(meter->getValue(), 2.1e-7f);
}

TEST_F(MeterTest, ALeftClickReportsTheMeterAndLeavesItsValue) {
    COldVuMeter2* meter = addMeter();
    EXPECT_EQ(meter->getTag(), 14);  // whatever tag it was given
    meter->setValue(0.3f);
    CPoint where(200, 80);
    meter->mouse(nullptr, where, kRButton);
    EXPECT_TRUE(listener.values.empty());
    meter->mouse(nullptr, where, kLButton);
    EXPECT_EQ(listener.values, std::vector<float>({0.3f}));
    EXPECT_EQ(meter->getValue(), 0.3f);
    EXPECT_TRUE(editor.edits.empty());

    // Through the frame, as the window delivers it.
    frame->mouse(nullptr, where, kLButton);
    EXPECT_EQ(listener.values.size(), 2u);
    meter->setMouseEnabled(false);
    meter->mouse(nullptr, where, kLButton);
    EXPECT_EQ(listener.values.size(), 2u);
}

}  // namespace

// Controls: the value model, knob drags with a scripted pointer, wheel and keys, the
// horizontal switch and the rocker's wheel.
#include <cmath>
#include <limits>

#include "GuiTestSupport.h"
#include "gui/CAnimKnob.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CKnob.h"
#include "gui/CRockerSwitch.h"
#include "gui/CSplashScreen.h"

namespace {

using platform::headless::PointerStep;
using platform::headless::scriptPointer;
using platform::headless::setPointer;

class Rocker : public CRockerSwitch {
public:
    using CRockerSwitch::CRockerSwitch;
    void draw(CDrawContext*) override { setDirty(false); }
};

class Splash : public CSplashScreen {
public:
    using CSplashScreen::CSplashScreen;
    void draw(CDrawContext*) override { setDirty(false); }
};

class ControlsTest : public FrameTest {
protected:
    // A 100 x 100 knob at (0, 0) of the frame, tag 5.
    CKnob* addKnob(float value) {
        auto* knob = new CKnob(CRect(0, 0, 100, 100), &listener, 5, nullptr);
        knob->setValue(value);
        frame->addView(knob);
        return knob;
    }
    // Presses at start and runs the knob's drag loop over the scripted steps.
    void drag(CKnob* knob, CPoint start, int32_t buttons, std::vector<PointerStep> steps) {
        scriptPointer(platform::Point{start.h, start.v}, std::move(steps));
        ImageContext context(10, 10, frame);
        knob->mouse(context.context, start, buttons);
    }
};

TEST_F(ControlsTest, SetDirtyForcesADifferenceAndClearingRecordsTheValue) {
    CKnob knob(CRect(0, 0, 10, 10), nullptr, 0, nullptr);
    knob.setValue(0.3f);
    knob.setDirty(false);
    EXPECT_FALSE(knob.isDirty());
    knob.setDirty(true);
    EXPECT_TRUE(knob.isDirty());
    EXPECT_EQ(knob.getOldValue(), -1.0f);
    knob.setValue(-1.0f);
    knob.setDirty(true);
    EXPECT_EQ(knob.getOldValue(), 0.0f);  // never equal to the value
    EXPECT_TRUE(knob.isDirty());
    knob.setDirty(false);
    EXPECT_FALSE(knob.isDirty());
    knob.setValue(std::numeric_limits<float>::quiet_NaN());
    knob.setDirty(false);
    EXPECT_TRUE(knob.isDirty());  // NaN never equals its old value
}

TEST_F(ControlsTest, BounceValueClampsToTheRange) {
    CKnob knob(CRect(0, 0, 10, 10), nullptr, 0, nullptr);
    knob.setMin(0.2f);
    knob.setMax(0.8f);
    knob.setValue(1.5f);
    knob.bounceValue();
    EXPECT_EQ(knob.getValue(), 0.8f);
    knob.setValue(-2.0f);
    knob.bounceValue();
    EXPECT_EQ(knob.getValue(), 0.2f);
}

TEST_F(ControlsTest, ControlClickResetsToTheDefaultAsOneEdit) {
    CKnob* knob = addKnob(0.8f);
    knob->setDirty(false);
    CPoint where(50, 50);
    setPointer(platform::Point{50, 50}, 0);
    knob->mouse(nullptr, where, kControl | kLButton);
    EXPECT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(listener.values, std::vector<float>({0.5f}));
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 5", "end 5"}));
    EXPECT_EQ(frame->getFocusView(), knob);

    CControl* plain = knob;
    EXPECT_FALSE(plain->checkDefaultValue(nullptr, kControl | kShift | kLButton));
}

TEST_F(ControlsTest, AModifierClickTheListenerTakesEndsTheGesture) {
    CKnob* knob = addKnob(0.8f);
    listener.modifierAnswer = 1;
    CPoint where(50, 50);
    knob->mouse(nullptr, where, kControl | kLButton);
    EXPECT_EQ(knob->getValue(), 0.8f);
    EXPECT_EQ(listener.modifierClicks, std::vector<int32_t>({kControl | kLButton}));
    EXPECT_TRUE(editor.edits.empty());
}

TEST_F(ControlsTest, LinearDragOfOneHundredPixelsUpMovesHalfTheRange) {
    knobMode = 2;
    CKnob* knob = addKnob(0.25f);
    drag(knob, CPoint(50, 50), kLButton,
         {{{50, 50}, kLButton}, {{50, -50}, kLButton}, {{50, -50}, 0}});
    EXPECT_NEAR(knob->getValue(), 0.75f, 1e-6);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 5", "end 5"}));
    EXPECT_FALSE(listener.values.empty());
    EXPECT_GE(editor.idles, 3);  // the host was kept alive on every step
}

TEST_F(ControlsTest, ShiftFromTheStartMakesTheDragFiner) {
    knobMode = 2;
    CKnob* knob = addKnob(0.25f);
    int32_t fine = kLButton | kShift;
    drag(knob, CPoint(50, 50), fine, {{{50, 50}, fine}, {{50, -50}, fine}, {{50, -50}, kShift}});
    EXPECT_NEAR(knob->getValue(), 0.25f + 1.0f / 3.0f, 1e-6);
}

TEST_F(ControlsTest, PressingShiftHalfWayDoesNotMakeTheValueJump) {
    knobMode = 2;
    CKnob* knob = addKnob(0.25f);
    int32_t fine = kLButton | kShift;
    std::vector<float> seen;
    drag(knob, CPoint(50, 50), kLButton,
         {{{50, 0}, kLButton}, {{50, 0}, fine}, {{50, -50}, fine}, {{50, -50}, 0}});
    // 50 pixels at 1/200, then 50 at 1/300.
    EXPECT_NEAR(knob->getValue(), 0.25f + 0.25f + 50.0f / 300.0f, 1e-6);
    for (size_t i = 1; i < listener.values.size(); ++i)
        EXPECT_LT(std::fabs(listener.values[i] - listener.values[i - 1]), 0.26f);
}

TEST_F(ControlsTest, ACircularDragAcrossTheGapSticksAtTheEndItCameFrom) {
    CKnob* knob = addKnob(0.9f);
    // From the lower right (near the maximum) through the bottom gap to the lower left.
    drag(knob, CPoint(81, 76), kLButton,
         {{{55, 95}, kLButton}, {{24, 81}, kLButton}, {{24, 81}, kLButton}, {{24, 81}, 0}});
    EXPECT_EQ(knob->getValue(), 1.0f);
}

TEST_F(ControlsTest, KnobModeTwoWithAltDragsCircularly) {
    knobMode = 2;
    CKnob* knob = addKnob(0.0f);
    int32_t circular = kLButton | kAlt;
    // From the top (the middle of the range) to the right: a linear drag would see no
    // movement at all, as up and right cancel out.
    drag(knob, CPoint(50, 10), circular,
         {{{90, 50}, circular}, {{90, 50}, circular}, {{90, 50}, 0}});
    EXPECT_NEAR(knob->getValue(), 225.0f / 270.0f, 0.01f);
}

TEST_F(ControlsTest, KnobValuePointsFollowTheArcAndGapPointsSnap) {
    CKnob knob(CRect(0, 0, 100, 100), nullptr, 0, nullptr);
    knob.setValue(0.5f);
    CPoint top;
    knob.valueToPoint(top);
    EXPECT_EQ(top, CPoint(50, 3));  // straight up, inset 3
    CPoint bottomLeft(45, 99), bottomRight(55, 99);
    EXPECT_EQ(knob.valueFromPoint(bottomLeft), 0.0f);
    EXPECT_EQ(knob.valueFromPoint(bottomRight), 1.0f);
}

TEST_F(ControlsTest, WheelNotchesStepByTheIncrementOrATenthWithShift) {
    CKnob* knob = addKnob(0.5f);
    ImageContext context(10, 10, frame);
    setPointer(platform::Point{50, 50}, 0);
    EXPECT_TRUE(knob->onWheel(context.context, CPoint(50, 50), 1.0f));
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    setPointer(platform::Point{50, 50}, kShift);
    knob->onWheel(context.context, CPoint(50, 50), -1.0f);
    EXPECT_NEAR(knob->getValue(), 0.59f, 1e-6);
    setPointer(platform::Point{50, 50}, 0);
    for (int i = 0; i < 10; ++i) knob->onWheel(context.context, CPoint(50, 50), 1.0f);
    EXPECT_EQ(knob->getValue(), 1.0f);
    EXPECT_EQ(editor.edits.front(), "begin 5");
    EXPECT_EQ(editor.edits.size() % 2, 0u);

    knob->setMouseEnabled(false);
    EXPECT_FALSE(knob->onWheel(context.context, CPoint(50, 50), 1.0f));
}

TEST_F(ControlsTest, WheelOverTheFrameReachesTheKnobUnderThePointer) {
    CKnob* knob = addKnob(0.5f);
    setPointer(platform::Point{50, 50}, 0);
    EXPECT_TRUE(frame->onWheel(nullptr, CPoint(50, 50), 1.0f));
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    EXPECT_FALSE(frame->onWheel(nullptr, CPoint(150, 120), 1.0f));
}

TEST_F(ControlsTest, ArrowKeysStepTheKnobAndOtherKeysAreLeft) {
    CKnob* knob = addKnob(0.5f);
    VstKeyCode up{0, VKEY_UP, 0};
    VstKeyCode left{0, VKEY_LEFT, MODIFIER_SHIFT};
    VstKeyCode letter{'x', 0, 0};
    EXPECT_EQ(knob->onKeyDown(up), 1);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    EXPECT_EQ(knob->onKeyDown(left), 1);
    EXPECT_NEAR(knob->getValue(), 0.59f, 1e-6);
    EXPECT_EQ(knob->onKeyDown(letter), -1);
    frame->setFocusView(knob);
    EXPECT_EQ(frame->onKeyDown(up), 1);  // through the frame to the focus view
    EXPECT_NEAR(knob->getValue(), 0.69f, 1e-6);
}

TEST_F(ControlsTest, AThreePositionSwitchSixtyPixelsWideSplitsIntoThirds) {
    CBitmap* strip = makeBitmap(60, 60, [](int, int) { return kGreyCColor; });
    auto* control = new CHorizontalSwitch(CRect(10, 10, 70, 30), &listener, 0, 3, 20, 3, strip);
    frame->addView(control);
    strip->forget();
    ImageContext context(10, 10, frame);
    auto clickAt = [&](int x) {
        CPoint where(10 + x, 15);
        setPointer(platform::Point{10 + x, 15}, 0);
        control->mouse(context.context, where, kLButton);
        return control->getValue();
    };
    EXPECT_EQ(clickAt(0), 0.0f);
    EXPECT_EQ(clickAt(19), 0.0f);
    EXPECT_EQ(clickAt(20), 0.5f);
    EXPECT_EQ(clickAt(39), 0.5f);
    EXPECT_EQ(clickAt(40), 1.0f);
    EXPECT_EQ(clickAt(59), 1.0f);
    EXPECT_EQ(clickAt(60), 1.0f);  // the inclusive right edge stays in range
    EXPECT_EQ(editor.edits.size(), 14u);
}

TEST_F(ControlsTest, TheSwitchDrawsTheFrameOfItsPosition) {
    CBitmap* strip = makeBitmap(6, 6, [](int, int y) {
        return y < 2 ? kRedCColor : (y < 4 ? kGreenCColor : kBlueCColor);
    });
    CHorizontalSwitch control(CRect(0, 0, 6, 2), nullptr, 0, 3, 2, 3, strip);
    strip->forget();
    ImageContext target(6, 2);
    control.setValue(0.5f);
    control.draw(target.context);
    EXPECT_TRUE(target.at(3, 1) == kGreenCColor);
    control.setValue(1.0f);
    control.draw(target.context);
    EXPECT_TRUE(target.at(3, 1) == kBlueCColor);
    EXPECT_FALSE(control.isDirty());
}

TEST_F(ControlsTest, ASwitchWithoutPositionsIgnoresClicks) {
    CBitmap* strip = makeBitmap(60, 20, [](int, int) { return kGreyCColor; });
    auto* control = new CHorizontalSwitch(CRect(0, 0, 60, 20), &listener, 0, 1, 20, 1, strip);
    frame->addView(control);
    strip->forget();
    CPoint where(30, 10);
    control->mouse(nullptr, where, kLButton);
    EXPECT_EQ(control->getValue(), 0.0f);
    EXPECT_TRUE(listener.values.empty());
}

TEST_F(ControlsTest, RockerWheelUpReportsMinusOneThenRest) {
    auto* rocker = new Rocker(CRect(0, 0, 30, 14), &listener, 44, nullptr);
    frame->addView(rocker);
    EXPECT_TRUE(rocker->onWheel(nullptr, CPoint(5, 5), 1.0f));
    EXPECT_EQ(listener.values, std::vector<float>({-1.0f, 0.0f}));
    listener.values.clear();
    rocker->onWheel(nullptr, CPoint(5, 5), -1.0f);
    EXPECT_EQ(listener.values, std::vector<float>({1.0f, 0.0f}));
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 44", "end 44", "begin 44", "end 44"}));
}

TEST_F(ControlsTest, TheSplashAnswersLeftClicksOnlyAndUnsplashesOnce) {
    Splash splash(CRect(0, 0, 20, 20), &listener, 13, nullptr, CRect(0, 0, 400, 276));
    EXPECT_TRUE(splash.hitTest(CPoint(5, 5), kLButton));
    EXPECT_FALSE(splash.hitTest(CPoint(5, 5), kRButton));
    splash.unSplash();
    EXPECT_TRUE(listener.values.empty());
    splash.setValue(1.0f);
    splash.unSplash();
    EXPECT_EQ(listener.values, std::vector<float>({0.0f}));
}

TEST_F(ControlsTest, AnAnimKnobIsNotDirtyWhileItsHandleWouldNotMove) {
    CAnimKnob knob(CRect(0, 0, 100, 100), nullptr, 2, 7, 100, nullptr);
    knob.setValue(0.0f);
    knob.setDirty(false);
    CPoint point;
    knob.valueToPoint(point);
    knob.setValue(0.5f);
    EXPECT_TRUE(knob.isDirty());
    EXPECT_TRUE(knob.isTypeOf("CKnob"));
    EXPECT_TRUE(knob.isTypeOf("CView"));
    EXPECT_FALSE(knob.isTypeOf("CHorizontalSwitch"));
}

}  // namespace

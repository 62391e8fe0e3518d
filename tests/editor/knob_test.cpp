// The film-strip knob: which frame it shows, its linear drag with span and shift, the
// default-value gestures and the edit bracket, and a drag whose knob goes away.
#include "EditorControlsSupport.h"
#include "editor/CAnimKnob3.h"
#include "editor/EditorLayout.h"
#include "skin/SkinBitmaps.h"

namespace {

using platform::headless::PointerStep;
using platform::headless::scriptPointer;

class KnobTest : public EditorFrameTest {
protected:
    // A knob of `frames` numbered 10-pixel frames at (0, 0), tag 4, span 0.5.
    CAnimKnob3* addKnob(int frames, float value) {
        CBitmap* strip = makeNumberedStrip(10, 10, frames);
        auto* knob = add(new CAnimKnob3(CRect(0, 0, 10, 10), &listener, 4, strip, frames));
        strip->forget();
        knob->setDragSpan(0.5);
        knob->setValue(value);
        knob->setDirty(false);
        return knob;
    }
    // The frame the knob draws at value.
    int frameAt(CAnimKnob3* knob, float value) {
        ImageContext image(10, 10);
        knob->setValue(value);
        knob->draw(image.context);
        return frameShownAt(image, 5, 5);
    }
    // Presses at start with buttons and runs the drag over the scripted pointer, long
    // enough after the previous press not to make a double click.
    void drag(CAnimKnob3* knob, CPoint start, int32_t buttons, std::vector<PointerStep> steps) {
        platform::headless::setTicks(platform::headless::ticks() + 1000);
        press(knob, start, buttons, std::move(steps));
    }
    void press(CAnimKnob3* knob, CPoint start, int32_t buttons, std::vector<PointerStep> steps) {
        scriptPointer(platform::Point{start.h, start.v}, std::move(steps));
        ImageContext context(10, 10, frame);
        knob->mouse(context.context, start, buttons);
    }

    RecordingListener listener;
};

TEST_F(KnobTest, TheFrameIsTheValueRoundedToTheNearestStep) {
    CAnimKnob3* time = addKnob(21, 0.0f);
    EXPECT_EQ(frameAt(time, 0.5f), 10);
    EXPECT_EQ(frameAt(time, 0.475f), 10);  // 9.5 rounds up
    EXPECT_EQ(frameAt(time, 0.47f), 9);
    EXPECT_EQ(frameAt(time, 0.0f), 0);
    EXPECT_EQ(frameAt(time, -0.3f), 0);
    EXPECT_EQ(frameAt(time, 1.0f), 20);
    EXPECT_FALSE(time->isDirty());

    CAnimKnob3* ratio = addKnob(7, 0.0f);
    EXPECT_EQ(frameAt(ratio, 0.5f), 3);
    EXPECT_EQ(frameAt(ratio, 1.0f), 6);
}

TEST_F(KnobTest, TheEditorsTimeKnobShowsFrameTenOfItsStripAtOneHalf) {
    const editor_layout::KnobSettings& settings = editor_layout::kTimeKnob;
    const skin::BitmapLayout& layout = *settings.strip;
    auto* bitmap = new CBitmap(layout.id);
    const skin::Rect r = layout.rect;
    CAnimKnob3 knob(CRect(r.left, r.top, r.right, r.bottom), &listener, settings.tag, bitmap,
                    layout.frames);
    bitmap->forget();
    knob.setValue(0.5f);
    ImageContext screen(skin::kEditorWidth, skin::kEditorHeight);
    knob.draw(screen.context);

    // Source offset 10 x 114 = 1140 rows into the strip.
    const SkinBitmap* strip = findSkinBitmap(layout.id);
    ASSERT_NE(strip, nullptr);
    int differing = 0;
    for (int y = 0; y < layout.frameHeight(); y += 3) {
        for (int x = 0; x < layout.width; x += 3) {
            const unsigned char* p = strip->rgb + ((1140 + y) * strip->width + x) * 3;
            differing += !(screen.at(r.left + x, r.top + y) == CColor{p[0], p[1], p[2], 255});
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(KnobTest, OneHundredPixelsUpMoveFourTenthsAndToTheRightTwoTenths) {
    CAnimKnob3* knob = addKnob(21, 0.3f);
    drag(knob, CPoint(50, 50), kLButton, {{{50, -50}, kLButton}, {{50, -50}, 0}});
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-6);

    knob->setValue(0.3f);
    drag(knob, CPoint(50, 50), kLButton, {{{150, 50}, kLButton}, {{150, 50}, 0}});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);

    knob->setValue(0.3f);
    drag(knob, CPoint(50, 50), kLButton, {{{50, 300}, kLButton}, {{50, 300}, 0}});
    EXPECT_EQ(knob->getValue(), 0.0f);  // limited to the range
}

TEST_F(KnobTest, ShiftFromTheStartMakesTheDragFourTimesFiner) {
    CAnimKnob3* knob = addKnob(21, 0.3f);
    const int32_t fine = kLButton | kShift;
    drag(knob, CPoint(50, 50), fine, {{{50, -50}, fine}, {{50, -50}, kShift}});
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-6);

    knob->setValue(0.3f);
    drag(knob, CPoint(50, 50), fine, {{{150, 50}, fine}, {{150, 50}, kShift}});
    EXPECT_NEAR(knob->getValue(), 0.35f, 1e-6);
}

TEST_F(KnobTest, PressingShiftMidDragKeepsTheValueWhereItIs) {
    CAnimKnob3* knob = addKnob(21, 0.3f);
    const int32_t fine = kLButton | kShift;
    drag(knob, CPoint(50, 50), kLButton,
         {{{50, 0}, kLButton}, {{50, 0}, fine}, {{50, -50}, fine}, {{50, -50}, kShift}});
    // 50 pixels up at 1/500 a unit, then 50 at 1/2000, two units a pixel.
    EXPECT_NEAR(knob->getValue(), 0.3f + 0.2f + 0.05f, 1e-6);
    ASSERT_GE(listener.values.size(), 3u);
    for (size_t i = 1; i < listener.values.size(); ++i)
        EXPECT_LE(listener.values[i] - listener.values[i - 1], 0.2f + 1e-6f) << i;
}

TEST_F(KnobTest, APressWithoutMovingReportsThreeTimesInsideOneEdit) {
    CAnimKnob3* knob = addKnob(21, 0.3f);
    drag(knob, CPoint(50, 50), kLButton, {{{50, 50}, 0}});
    // At the press, at the start of the drag, in the one pass (taking the focus marked
    // the knob dirty) and after the release.
    EXPECT_EQ(listener.values, std::vector<float>({0.3f, 0.3f, 0.3f, 0.3f}));
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 4", "end 4"}));
    EXPECT_EQ(frame->getFocusView(), knob);
    EXPECT_GE(editor.idles, 2);  // the host was kept alive
}

TEST_F(KnobTest, ControlClickResetsToTheDefaultAsOneEdit) {
    CAnimKnob3* knob = addKnob(61, 0.8f);
    knob->setDefaultValue(0.0f);
    CPoint where(5, 5);
    knob->mouse(nullptr, where, kControl | kLButton);
    EXPECT_EQ(knob->getValue(), 0.0f);
    // The press is reported before anything changes, then the reset.
    EXPECT_EQ(listener.values, std::vector<float>({0.8f, 0.0f}));
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 4", "end 4"}));
    EXPECT_TRUE(listener.modifierClicks.empty());  // the listener is not asked
}

TEST_F(KnobTest, ASecondClickWithinTheDoubleClickDelayResetsToTheDefault) {
    CAnimKnob3* knob = addKnob(21, 0.8f);
    auto clickAt = [&](int32_t ticks) {
        platform::headless::setTicks(ticks);
        press(knob, CPoint(5, 5), kLButton, {{{5, 5}, 0}});
        return knob->getValue();
    };
    EXPECT_EQ(clickAt(1000), 0.8f);
    EXPECT_EQ(clickAt(1100), 0.5f);
    knob->setValue(0.8f);
    EXPECT_EQ(clickAt(1200), 0.8f);  // a third click starts a new pair
    EXPECT_EQ(clickAt(5000), 0.8f);  // too late for a pair
}

TEST_F(KnobTest, ADragStopsWhenTheKnobIsRemovedDuringThePump) {
    CAnimKnob3* knob = addKnob(21, 0.3f);
    size_t reportsAtRemoval = 0;
    editor.onIdle = [&] {
        if (editor.idles != 3) return;
        reportsAtRemoval = listener.values.size();
        frame->removeView(knob, true);
    };
    // The button stays down for far longer than the knob lives.
    std::vector<PointerStep> held(50, PointerStep{{50, 0}, kLButton});
    held.push_back({{50, 0}, 0});
    drag(knob, CPoint(50, 50), kLButton, held);
    EXPECT_EQ(frame->getNbViews(), 0);
    EXPECT_EQ(listener.values.size(), reportsAtRemoval);
    EXPECT_EQ(editor.idles, 3);
    EXPECT_LT(platform::headless::pointerButtonReads(), 5);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 4"}));
}

TEST_F(KnobTest, WithoutAContextThereIsNoLiveStateToDragWith) {
    CAnimKnob3* knob = addKnob(21, 0.3f);
    CPoint where(5, 5);
    knob->mouse(nullptr, where, -1);
    EXPECT_TRUE(listener.values.empty());
    knob->mouse(nullptr, where, kLButton);  // one pass, then no button is held
    EXPECT_EQ(knob->getValue(), 0.3f);
    EXPECT_EQ(editor.edits, std::vector<std::string>({"begin 4", "end 4"}));

    EXPECT_TRUE(knob->onWheel(nullptr, where, 1.0f));  // the wheel as every knob has it
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-6);
}

}  // namespace

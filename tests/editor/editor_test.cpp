// The compressor's editor on the headless backend, driven through the effect's dispatcher
// as a host drives it.
#include <gtest/gtest.h>

#include "editor/ADEditor.h"
#include "gui/CAnimKnob.h"
#include "gui/CHorizontalSwitch.h"
#include "platform/headless/HeadlessPlatform.h"
#include "skin/SkinBitmaps.h"
#include "support/InProcessEffect.h"

namespace {

void* const kHostWindow = reinterpret_cast<void*>(0x77);

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::reset();
        platform::headless::setTicks(1000);
        editor = new ADEditor(&fixture.effect());
        fixture.host.clear();
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return fixture.record()->dispatcher(fixture.record(), opcode, index, value, ptr, opt);
    }
    CFrame* frame() const { return editor->getFrame(); }
    template <typename T>
    T* control(int32_t tag) const {
        for (int32_t i = 0; i < frame()->getNbViews(); ++i) {
            auto* view = static_cast<CControl*>(frame()->getView(i));
            if (view->getTag() == tag) return static_cast<T*>(view);
        }
        return nullptr;
    }
    std::vector<VstInt32> editOpcodes() const {
        std::vector<VstInt32> opcodes;
        for (const HostCall& call : fixture.host.calls)
            if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
                call.opcode == audioMasterAutomate)
                opcodes.push_back(call.opcode);
        return opcodes;
    }

    InProcessEffect fixture;
    ADEditor* editor = nullptr;  // owned by the effect
};

TEST_F(EditorTest, TheEffectReportsAnEditorOfTheBackgroundsSize) {
    EXPECT_EQ(fixture.record()->flags, 0x1011);
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 400);
    EXPECT_EQ(rect->bottom - rect->top, 309);
}

TEST_F(EditorTest, OpeningWithoutAWindowCreatesNothing) {
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(frame(), nullptr);
    EXPECT_EQ(platform::headless::openWindowCount(), 0);
}

TEST_F(EditorTest, OpenCreatesTheSwitchAndKnobsFromTheCurrentParameters) {
    fixture.effect().setParameter(0, 1.0f);
    fixture.effect().setParameter(5, 0.25f);
    ASSERT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow), 1);
    ASSERT_NE(frame(), nullptr);
    // The zoom menu under everything, meter, switch, four knobs, about area, then the eleven
    // controls of the preset row.
    EXPECT_EQ(frame()->getNbViews(), 19);
    EXPECT_EQ(knobMode, 2);  // linear for the whole process

    auto* processSwitch = control<CHorizontalSwitch>(0);
    ASSERT_NE(processSwitch, nullptr);
    CRect size;
    EXPECT_EQ(processSwitch->getViewSize(size), CRect(262, 46, 368, 124));
    EXPECT_EQ(processSwitch->getValue(), 0.0f);  // reversed: "Process" 1.0 is the left

    const std::pair<int32_t, CRect> knobs[] = {{2, CRect(50, 50, 120, 120)},
                                               {4, CRect(28, 143, 142, 257)},
                                               {5, CRect(143, 143, 257, 257)},
                                               {6, CRect(258, 143, 372, 257)}};
    for (const auto& [tag, rect] : knobs) {
        auto* knob = control<CAnimKnob>(tag);
        ASSERT_NE(knob, nullptr) << tag;
        EXPECT_EQ(knob->getViewSize(size), rect) << tag;
        EXPECT_EQ(knob->getValue(), fixture.effect().getParameter(tag)) << tag;
    }
    EXPECT_EQ(control<CAnimKnob>(5)->getNumberOfFrames(), 41);
}

TEST_F(EditorTest, ClickingTheSwitchsRightThirdTurnsProcessingOffAsOneEdit) {
    fixture.effect().setParameter(0, 1.0f);
    dispatch(effEditOpen, 0, 0, kHostWindow);
    fixture.host.clear();
    platform::WindowHandle window = platform::headless::lastWindow();
    platform::headless::setPointer(platform::Point{352, 80}, 0);
    platform::headless::postButtonPress(window, platform::Point{352, 80}, 1);
    dispatch(effEditIdle);
    EXPECT_EQ(fixture.effect().getParameter(0), 0.0f);
    EXPECT_EQ(editOpcodes(), std::vector<VstInt32>({audioMasterBeginEdit, audioMasterAutomate,
                                                    audioMasterEndEdit}));
    for (const HostCall& call : fixture.host.calls) {
        if (call.opcode != audioMasterIdle) {
            EXPECT_EQ(call.index, 0);
        }
    }
    char display[64] = {};
    fixture.effect().getParameterDisplay(0, display);
    EXPECT_STREQ(display, "Off");
}

TEST_F(EditorTest, KnobEditsMoveTheParameterInTheFilmStripsSteps) {
    dispatch(effEditOpen, 0, 0, kHostWindow);
    auto* ratio = control<CAnimKnob>(2);
    ratio->setValue(0.6f);
    editor->valueChanged(nullptr, ratio);
    EXPECT_FLOAT_EQ(fixture.effect().getParameter(2), 4.0f / 6.0f);
    EXPECT_FLOAT_EQ(ratio->getValue(), 4.0f / 6.0f);  // the control took the quantised value

    auto* output = control<CAnimKnob>(6);
    output->setValue(0.508f);
    editor->valueChanged(nullptr, output);
    EXPECT_FLOAT_EQ(fixture.effect().getParameter(6), 0.5f);
    auto automations = fixture.host.callsOf(audioMasterAutomate);
    ASSERT_EQ(automations.size(), 2u);
    EXPECT_FLOAT_EQ(automations[0].opt, 4.0f / 6.0f);
}

TEST_F(EditorTest, HostChangesReachTheControlsOnlyWhileOpen) {
    dispatch(effEditOpen, 0, 0, kHostWindow);
    fixture.record()->setParameter(fixture.record(), 0, 0.0f);
    EXPECT_EQ(control<CHorizontalSwitch>(0)->getValue(), 1.0f);
    EXPECT_TRUE(frame()->isDirty());
    dispatch(effEditClose);
    fixture.record()->setParameter(fixture.record(), 5, 0.75f);
    EXPECT_EQ(frame(), nullptr);
    dispatch(effEditOpen, 0, 0, kHostWindow);
    EXPECT_EQ(control<CAnimKnob>(5)->getValue(), 0.75f);
}

TEST_F(EditorTest, RepeatedOpensAndClosesLeaveOneWindowAtMost) {
    dispatch(effEditClose);  // never opened
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow), 1);
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, kHostWindow), 1);
    EXPECT_EQ(platform::headless::openWindowCount(), 1);
    dispatch(effEditClose);
    dispatch(effEditClose);
    EXPECT_EQ(platform::headless::openWindowCount(), 0);
}

TEST_F(EditorTest, ClosingTheEffectWithTheEditorOpenClosesTheWindow) {
    auto* effect = new AutoComp(nullptr);
    new ADEditor(effect);
    AEffect* record = effect->getAeffect();
    ASSERT_EQ(record->dispatcher(record, effEditOpen, 0, 0, kHostWindow, 0.0f), 1);
    EXPECT_EQ(platform::headless::openWindowCount(), 1);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(platform::headless::openWindowCount(), 0);
}

TEST_F(EditorTest, AHostWindowThatDisappearsFirstIsSurvived) {
    dispatch(effEditOpen, 0, 0, kHostWindow);
    platform::headless::destroyFromOutside(platform::headless::lastWindow());
    dispatch(effEditIdle);
    EXPECT_FALSE(frame()->isOpen());
    fixture.record()->setParameter(fixture.record(), 0, 0.5f);
    dispatch(effEditIdle);
    dispatch(effEditClose);
    EXPECT_EQ(frame(), nullptr);
}

TEST_F(EditorTest, KnobModeKeysAndWheelNeedAnOpenFrame) {
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 7), 1);
    EXPECT_EQ(knobMode, 7);
    VstKeyCode up{0, VKEY_UP, 0};
    EXPECT_FALSE(editor->onKeyDown(up));
    EXPECT_FALSE(editor->onWheel(1.0f));
    dispatch(effEditOpen, 0, 0, kHostWindow);
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 0);  // no focus view: not handled
    auto* time = control<CAnimKnob>(4);
    frame()->setFocusView(time);
    float before = time->getValue();
    EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_UP), 1);
    EXPECT_GT(fixture.effect().getParameter(4), before);
}

TEST_F(EditorTest, HostIdleDrainsWindowEventsAndRedrawsWhatIsDirty) {
    dispatch(effEditOpen, 0, 0, kHostWindow);
    platform::WindowHandle window = platform::headless::lastWindow();
    const platform::Canvas* image = platform::headless::windowImage(window);
    platform::headless::postExpose(window, platform::Rect{0, 0, 400, 309});
    dispatch(effEditIdle);
    // The first idle moved the meter from its start to the effect's reading; the second
    // draws it, and then nothing is left to draw.
    dispatch(effEditIdle);
    EXPECT_FALSE(frame()->isDirty());
    const SkinBitmap* background = findSkinBitmap(12128);
    ASSERT_NE(background, nullptr);
    for (platform::Point at : {platform::Point{5, 5}, platform::Point{200, 30},
                               platform::Point{395, 300}}) {
        const unsigned char* rgb = background->rgb + (at.y * background->width + at.x) * 3;
        EXPECT_EQ(image->pixel(at.x, at.y), (platform::Color{rgb[0], rgb[1], rgb[2], 255}))
            << at.x << "," << at.y;
    }

    // A host change redraws the switch on the next idle, not before.
    fixture.record()->setParameter(fixture.record(), 0, 0.0f);
    const SkinBitmap* strip = findSkinBitmap(12129);
    ASSERT_NE(strip, nullptr);
    auto switchMatchesFrame = [&](int index) {
        for (int y = 0; y < 78; y += 7)
            for (int x = 0; x < 106; x += 5) {
                const unsigned char* rgb = strip->rgb + ((index * 78 + y) * strip->width + x) * 3;
                if (image->pixel(262 + x, 46 + y) != platform::Color{rgb[0], rgb[1], rgb[2], 255})
                    return false;
            }
        return true;
    };
    EXPECT_FALSE(switchMatchesFrame(2));
    dispatch(effEditIdle);
    EXPECT_TRUE(switchMatchesFrame(2));
}

TEST_F(EditorTest, TheIdlePumpRunsAtMostEveryHundredMilliseconds) {
    dispatch(effEditOpen, 0, 0, kHostWindow);
    fixture.host.clear();
    editor->doIdleStuff();  // due at once
    EXPECT_EQ(fixture.host.callsOf(audioMasterIdle).size(), 1u);
    platform::headless::setTicks(platform::headless::ticks() + 10);
    editor->doIdleStuff();  // 10 ms later: a short sleep, no pass
    EXPECT_EQ(platform::headless::sleeps(), std::vector<int>({4}));
    EXPECT_EQ(fixture.host.callsOf(audioMasterIdle).size(), 1u);
    platform::headless::setTicks(platform::headless::ticks() + 40);
    editor->doIdleStuff();  // 54 ms after: within 50 ms of due after the sleep
    EXPECT_EQ(fixture.host.callsOf(audioMasterIdle).size(), 2u);
    platform::headless::setTicks(platform::headless::ticks() + 200);
    editor->doIdleStuff();
    EXPECT_EQ(fixture.host.callsOf(audioMasterIdle).size(), 3u);
}

TEST_F(EditorTest, AnIdleWithNothingDirtyDrawsNothing) {
    dispatch(effEditOpen, 0, 0, kHostWindow);
    platform::WindowHandle window = platform::headless::lastWindow();
    platform::headless::postExpose(window, platform::Rect{0, 0, 400, 309});
    for (int i = 0; i < 3; ++i) dispatch(effEditIdle);
    int drawn = platform::headless::canvasesCreated(window);
    EXPECT_GT(drawn, 0);
    for (int i = 0; i < 10; ++i) dispatch(effEditIdle);
    EXPECT_EQ(platform::headless::canvasesCreated(window), drawn);
    // A host change is drawn on the next idle, and only then.
    fixture.effect().setParameter(5, 0.0f);
    dispatch(effEditIdle);
    EXPECT_EQ(platform::headless::canvasesCreated(window), drawn + 1);
}

}  // namespace

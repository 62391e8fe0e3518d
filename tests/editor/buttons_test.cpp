// The preset row's controls: the memory button's single report per press, the rocker's
// halves and hover frames, the file buttons' pressed value around their action.
#include "EditorControlsSupport.h"
#include "editor/CKrOnOffButton.h"
#include "editor/CKrRockerSwitch.h"
#include "editor/CSaveLoadButton.h"

namespace {

using platform::headless::PointerStep;
using platform::headless::scriptPointer;

// The left button held for `reads` reads of the live state, then released.
void holdFor(int reads, CPoint at) {
    std::vector<PointerStep> steps(reads, PointerStep{{at.h, at.v}, kLButton});
    steps.push_back({{at.h, at.v}, 0});
    scriptPointer(platform::Point{at.h, at.v}, steps);
}

CRect toCRect(const skin::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

class ButtonsTest : public EditorFrameTest {
protected:
    // The frame a control draws, read at its top-left corner.
    int frameDrawn(CControl* control) {
        CRect size;
        control->getViewSize(size);
        ImageContext screen(skin::kEditorWidth, skin::kEditorHeight);
        control->draw(screen.context);
        return frameShownAt(screen, size.left, size.top);
    }
    CKrOnOffButton* addMemoryButton(const skin::BitmapLayout& layout, int32_t tag) {
        CBitmap* strip = makeNumberedStrip(layout.width, layout.frameHeight(), layout.frames);
        auto* button = add(new CKrOnOffButton(toCRect(layout.rect), &listener, tag, strip));
        strip->forget();
        return button;
    }
    CKrRockerSwitch* addRocker() {
        const skin::BitmapLayout& layout = skin::kRocker;
        CBitmap* strip = makeNumberedStrip(layout.width, layout.frameHeight(), layout.frames);
        auto* rocker = add(new CKrRockerSwitch(toCRect(layout.rect), &target, 44,
                                               layout.frameHeight(), strip, &target));
        strip->forget();
        return rocker;
    }
    CSaveLoadButton* addFileButton(const skin::BitmapLayout& layout, int32_t tag, int32_t mode) {
        CBitmap* strip = makeNumberedStrip(layout.width, layout.frameHeight(), layout.frames);
        auto* button = add(new CSaveLoadButton(toCRect(layout.rect), &target, tag,
                                               layout.frameHeight(), strip, mode, &target));
        strip->forget();
        return button;
    }

    RecordingListener listener;
    RecordingPresetListener target;
    ImageContext context{10, 10, nullptr};
};

TEST_F(ButtonsTest, AMemoryButtonReportsOncePerPressAndKeepsItsValue) {
    CKrOnOffButton* store = addMemoryButton(skin::kStoreA, 52);
    store->setDirty(false);
    CPoint where(305, 280);
    holdFor(5, where);
    store->mouse(context.context, where, kLButton);
    EXPECT_EQ(listener.values, std::vector<float>({0.0f}));
    EXPECT_EQ(store->getValue(), 0.0f);
    EXPECT_GE(platform::headless::pointerButtonReads(), 6);  // held until the release
    EXPECT_EQ(editor.idles, 0);                              // nothing else was serviced
    EXPECT_TRUE(editor.edits.empty());
    EXPECT_FALSE(store->isPressed());
    EXPECT_TRUE(store->isDirty());

    store->mouse(context.context, where, kRButton);
    store->setMouseEnabled(false);
    store->mouse(context.context, where, kLButton);
    EXPECT_EQ(listener.values.size(), 1u);
}

TEST_F(ButtonsTest, AMemoryButtonShowsNormalHoverAndDisabledLooks) {
    CKrOnOffButton* recall = addMemoryButton(skin::kRecallA, 50);
    EXPECT_EQ(frameDrawn(recall), 0);
    recall->setHover(true);
    EXPECT_TRUE(recall->isDirty());
    EXPECT_EQ(frameDrawn(recall), 1);
    recall->setHover(true);
    EXPECT_FALSE(recall->isDirty());  // no change, no redraw
    recall->setEnabled(false);
    EXPECT_EQ(frameDrawn(recall), 3);
}

TEST_F(ButtonsTest, TheRockersMiddleColumnStepsToThePreviousProgram) {
    CKrRockerSwitch* rocker = addRocker();
    const skin::Rect r = skin::kRocker.rect;
    const int middle = r.left + r.width() / 2;
    auto clickAt = [&](int x, int y) {
        CPoint where(x, y);
        rocker->mouse(context.context, where, kLButton);
        EXPECT_EQ(rocker->getValue(), 0.0f) << x << ", " << y;
    };
    clickAt(middle, r.top + 5);
    clickAt(middle + 1, r.top + 5);
    clickAt(r.right, r.bottom);  // edges count
    clickAt(r.left, r.top);
    clickAt(r.left, r.bottom + 1);  // below: nothing
    EXPECT_EQ(target.log, std::vector<std::string>({"previous", "next", "next", "previous"}));
    EXPECT_TRUE(editor.edits.empty());
    EXPECT_EQ(editor.idles, 4);
}

TEST_F(ButtonsTest, TheRockerShowsThePressedHalfWhileThePumpRuns) {
    CKrRockerSwitch* rocker = addRocker();
    std::vector<int> drawn;
    editor.onIdle = [&] { drawn.push_back(frameDrawn(rocker)); };
    const skin::Rect r = skin::kRocker.rect;
    CPoint left(r.left + 3, r.top + 3), right(r.right - 3, r.top + 3);
    rocker->mouse(context.context, left, kLButton);
    rocker->mouse(context.context, right, -1);  // no button held: nothing
    platform::headless::setPointer(platform::Point{right.h, right.v}, kLButton);
    rocker->mouse(context.context, right, -1);
    EXPECT_EQ(drawn, std::vector<int>({3, 4}));
    EXPECT_EQ(frameDrawn(rocker), 0);
}

TEST_F(ButtonsTest, MovingFromTheRockersRightHalfToItsLeftSwitchesTheHoverFrame) {
    CKrRockerSwitch* rocker = addRocker();
    const skin::Rect r = skin::kRocker.rect;
    rocker->setDirty(false);
    rocker->setHover(true, CPoint(r.right - 2, r.top + 4));
    EXPECT_TRUE(rocker->isDirty());
    EXPECT_EQ(frameDrawn(rocker), 2);
    rocker->setHover(true, CPoint(r.left + 2, r.top + 4));
    EXPECT_TRUE(rocker->isDirty());
    EXPECT_EQ(frameDrawn(rocker), 1);
    rocker->setHover(true, CPoint(r.left + 4, r.top + 4));
    EXPECT_FALSE(rocker->isDirty());  // still the left half
    rocker->setHover(false, CPoint(r.left + 4, r.top + 4));
    EXPECT_EQ(frameDrawn(rocker), 0);
}

TEST_F(ButtonsTest, ARockerRemovedDuringThePumpStepsNothing) {
    CKrRockerSwitch* rocker = addRocker();
    editor.onIdle = [&] { frame->removeView(rocker, true); };
    CPoint where(skin::kRocker.rect.left + 3, skin::kRocker.rect.top + 3);
    rocker->mouse(context.context, where, kLButton);
    EXPECT_TRUE(target.log.empty());
    EXPECT_EQ(frame->getNbViews(), 0);
}

TEST_F(ButtonsTest, ACancelledFileDialogStillCompletesThePress) {
    CSaveLoadButton* loadBank = addFileButton(skin::kLoadBank, 45, CSaveLoadButton::kLoadBank);
    float valueDuringDialog = -1.0f;
    int frameDuringDialog = -1;
    target.duringAction = [&] {
        valueDuringDialog = loadBank->getValue();
        frameDuringDialog = frameDrawn(loadBank);
    };
    CPoint where(122, 298);
    holdFor(3, where);
    loadBank->mouse(context.context, where, kLButton);
    EXPECT_EQ(target.log, std::vector<std::string>({"load bank"}));
    EXPECT_EQ(valueDuringDialog, 1.0f);
    EXPECT_EQ(frameDuringDialog, 2);
    EXPECT_EQ(loadBank->getValue(), 0.0f);
    EXPECT_GE(platform::headless::pointerButtonReads(), 4);
    // The end of the gesture goes to the host under the button's own tag.
    EXPECT_EQ(editor.edits, std::vector<std::string>({"end 45"}));
    EXPECT_TRUE(loadBank->isDirty());
}

TEST_F(ButtonsTest, EachFileButtonRunsItsOwnOperation) {
    const std::pair<const skin::BitmapLayout*, int32_t> buttons[] = {
        {&skin::kLoadBank, CSaveLoadButton::kLoadBank},
        {&skin::kSaveBank, CSaveLoadButton::kSaveBank},
        {&skin::kLoadPreset, CSaveLoadButton::kLoadPreset},
        {&skin::kSavePreset, CSaveLoadButton::kSavePreset},
        {&skin::kSavePreset, 7}};  // an unknown mode runs nothing
    for (const auto& [layout, mode] : buttons) {
        CSaveLoadButton* button = addFileButton(*layout, 45 + mode, mode);
        CPoint where(layout->rect.left + 2, layout->rect.top + 2);
        button->mouse(context.context, where, kLButton);
    }
    EXPECT_EQ(target.log,
              std::vector<std::string>({"load bank", "save bank", "load preset", "save preset"}));
}

TEST_F(ButtonsTest, AFileButtonShowsHoverOnlyAtRestAndTakesNoClickWhileADialogIsOpen) {
    CSaveLoadButton* savePreset = addFileButton(skin::kSavePreset, 48, 3);
    EXPECT_EQ(frameDrawn(savePreset), 0);
    savePreset->setHover(true);
    EXPECT_EQ(frameDrawn(savePreset), 1);
    savePreset->setValue(1.0f);
    EXPECT_EQ(frameDrawn(savePreset), 2);
    savePreset->setValue(0.0f);

    savePreset->setDialogOpen(true, false);  // another button's dialog
    EXPECT_EQ(frameDrawn(savePreset), 0);
    CPoint where(skin::kSavePreset.rect.left + 2, skin::kSavePreset.rect.top + 2);
    savePreset->mouse(context.context, where, kLButton);
    EXPECT_TRUE(target.log.empty());
    savePreset->setDialogOpen(true, true);  // its own: shown pressed until it answers
    EXPECT_EQ(frameDrawn(savePreset), 2);
    savePreset->setDialogOpen(false, false);
    EXPECT_EQ(frameDrawn(savePreset), 1);
}

TEST_F(ButtonsTest, AFileButtonNeedsAFrameAndAContext) {
    const skin::BitmapLayout& layout = skin::kSaveBank;
    CBitmap* strip = makeNumberedStrip(layout.width, layout.frameHeight(), layout.frames);
    CSaveLoadButton loose(toCRect(layout.rect), &target, 46, layout.frameHeight(), strip, 1,
                          &target);
    strip->forget();
    CPoint where(layout.rect.left + 2, layout.rect.top + 2);
    loose.mouse(context.context, where, kLButton);
    CSaveLoadButton* attached = addFileButton(layout, 46, 1);
    attached->mouse(nullptr, where, kLButton);
    EXPECT_TRUE(target.log.empty());
}

TEST_F(ButtonsTest, AFileButtonLetGoDuringItsDialogStopsThere) {
    CSaveLoadButton* loadPreset = addFileButton(skin::kLoadPreset, 47, 2);
    target.duringAction = [&] { frame->removeView(loadPreset, true); };
    CPoint where(skin::kLoadPreset.rect.left + 2, skin::kLoadPreset.rect.top + 2);
    holdFor(50, where);
    loadPreset->mouse(context.context, where, kLButton);
    EXPECT_EQ(target.log, std::vector<std::string>({"load preset"}));
    EXPECT_TRUE(editor.edits.empty());
    EXPECT_EQ(platform::headless::pointerButtonReads(), 0);
}

}  // namespace

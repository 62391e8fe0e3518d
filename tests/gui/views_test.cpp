// Views in containers: hit tests, dispatch order, dirty rules, focus, offscreen drawing,
// modal views and painting on window events.
#include "GuiTestSupport.h"
#include "gui/CViewContainer.h"

namespace {

// A view that records what reaches it and answers keys as told.
class ProbeView : public CView {
public:
    ProbeView(const CRect& size, int32_t keyAnswer = -1) : CView(size), keyAnswer(keyAnswer) {}
    void mouse(CDrawContext*, CPoint& where, int32_t) override {
        ++clicks;
        lastWhere = where;
    }
    int32_t onKeyDown(VstKeyCode&) override {
        ++keys;
        return keyAnswer;
    }
    bool removed(CView* parent) override {
        focusWhenRemoved = getFrame() ? getFrame()->getFocusView() : nullptr;
        return CView::removed(parent);
    }
    void draw(CDrawContext* context) override {
        context->setFillColor(kGreenCColor);
        context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
        setDirty(false);
    }
    int clicks = 0;
    int keys = 0;
    int32_t keyAnswer;
    CPoint lastWhere;
    CView* focusWhenRemoved = reinterpret_cast<CView*>(1);
};

using ViewsTest = FrameTest;

TEST_F(ViewsTest, HitTestsIncludeTheRightAndBottomEdges) {
    ProbeView view(CRect(10, 20, 30, 40));
    EXPECT_TRUE(view.hitTest(CPoint(30, 40)));
    EXPECT_TRUE(view.hitTest(CPoint(10, 20)));
    EXPECT_FALSE(view.hitTest(CPoint(31, 40)));
    EXPECT_FALSE(view.hitTest(CPoint(30, 41)));
    EXPECT_FALSE(view.hitTest(CPoint(9, 20)));
}

TEST_F(ViewsTest, TheLaterOfTwoOverlappingChildrenGetsTheClick) {
    auto* below = new ProbeView(CRect(10, 10, 60, 60));
    auto* above = new ProbeView(CRect(40, 40, 90, 90));
    frame->addView(below);
    frame->addView(above);
    CPoint where(50, 50);
    frame->mouse(nullptr, where, kLButton);
    EXPECT_EQ(above->clicks, 1);
    EXPECT_EQ(below->clicks, 0);
    CPoint onlyBelow(20, 20);
    frame->mouse(nullptr, onlyBelow, kLButton);
    EXPECT_EQ(below->clicks, 1);
    EXPECT_EQ(frame->getViewAt(CPoint(50, 50)), above);
}

TEST_F(ViewsTest, ADirtyChildWhollyOutsideTheContainerLeavesItClean) {
    auto* container = new CViewContainer(CRect(0, 0, 100, 100), frame);
    auto* outside = new ProbeView(CRect(150, 10, 170, 30));
    auto* inside = new ProbeView(CRect(90, 90, 120, 120));
    container->addView(outside);
    container->setDirty(false);
    outside->setDirty(true);
    EXPECT_FALSE(container->isDirty());
    container->addView(inside);  // overlaps the container's corner
    container->setDirty(false);
    EXPECT_TRUE(inside->isDirty());
    EXPECT_TRUE(container->isDirty());
    container->forget();
}

TEST_F(ViewsTest, RemovingTheFocusViewClearsTheFocusBeforeTheViewGoes) {
    auto* view = new ProbeView(CRect(0, 0, 10, 10));
    auto* other = new ProbeView(CRect(20, 0, 30, 10));
    frame->addView(view);
    frame->addView(other);
    frame->setFocusView(view);
    view->remember();  // keep it readable after removal
    frame->removeView(view);
    EXPECT_EQ(view->focusWhenRemoved, nullptr);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(view->getNbReference(), 1);
    view->forget();
    EXPECT_EQ(frame->getNbViews(), 1);
}

TEST_F(ViewsTest, KeysGoToTheTopmostChildThatHandlesThem) {
    auto* container = new CViewContainer(CRect(0, 0, 100, 100), frame);
    auto* first = new ProbeView(CRect(0, 0, 10, 10), 7);
    auto* second = new ProbeView(CRect(0, 0, 10, 10), -1);
    auto* third = new ProbeView(CRect(0, 0, 10, 10), 2);
    container->addView(first);
    container->addView(second);
    container->addView(third);
    VstKeyCode key{};
    EXPECT_EQ(container->onKeyDown(key), 2);
    EXPECT_EQ(first->keys, 0);  // the search stopped at the topmost handler

    auto* unhandled = new CViewContainer(CRect(0, 0, 100, 100), frame);
    auto* a = new ProbeView(CRect(0, 0, 10, 10));
    auto* b = new ProbeView(CRect(0, 0, 10, 10));
    unhandled->addView(a);
    unhandled->addView(b);
    EXPECT_EQ(unhandled->onKeyDown(key), -1);
    EXPECT_EQ(a->keys + b->keys, 2);
    container->forget();
    unhandled->forget();
}

TEST_F(ViewsTest, TheFrameAnswersOnlyForItsFocusModalOrTab) {
    auto* focusable = new ProbeView(CRect(0, 0, 10, 10), -1);
    focusable->setWantsFocus(true);
    auto* second = new ProbeView(CRect(20, 0, 30, 10), -1);
    second->setWantsFocus(true);
    frame->addView(focusable);
    frame->addView(second);
    VstKeyCode letter{'a', 0, 0};
    EXPECT_EQ(frame->onKeyDown(letter), -1);
    VstKeyCode tab{0, VKEY_TAB, 0};
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), focusable);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), second);
    VstKeyCode backTab{0, VKEY_TAB, MODIFIER_SHIFT};
    EXPECT_EQ(frame->onKeyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), focusable);
}

TEST_F(ViewsTest, WithoutOffscreenAContainerPaintsStraightIntoTheContext) {
    auto* container = new CViewContainer(CRect(20, 10, 60, 50), frame);
    container->setBackgroundColor(kRedCColor);
    container->addView(new ProbeView(CRect(5, 5, 15, 15)));
    frame->addView(container);
    ASSERT_NE(container->getOffscreen(), nullptr);  // made when attached
    container->useOffscreen(false);
    EXPECT_EQ(container->getOffscreen(), nullptr);

    ImageContext target(100, 100, frame);
    container->draw(target.context);
    EXPECT_EQ(container->getOffscreen(), nullptr);
    EXPECT_TRUE(target.at(30, 40) == kRedCColor);   // background, shifted by (20, 10)
    EXPECT_TRUE(target.at(27, 17) == kGreenCColor);  // child at (5, 5) in the container
    EXPECT_TRUE(target.at(19, 40) == kBlackCColor);  // outside the container
    EXPECT_EQ(target.context->offset, CPoint(0, 0));  // offsets restored
}

TEST_F(ViewsTest, ThroughTheOffscreenOnlyTheUpdateRectangleReachesTheWindow) {
    auto* container = new CViewContainer(CRect(0, 0, 100, 100), frame);
    container->setBackgroundColor(kBlueCColor);
    frame->addView(container);
    ImageContext target(100, 100, frame);
    target.image->fillRect(platform::Rect{0, 0, 100, 100}, platform::Color{255, 255, 255, 255});
    container->drawRect(target.context, CRect(10, 10, 30, 30));
    EXPECT_TRUE(target.at(20, 20) == kBlueCColor);
    EXPECT_TRUE(target.at(29, 29) == kBlueCColor);
    EXPECT_TRUE(target.at(31, 31) == kWhiteCColor);
    EXPECT_TRUE(target.at(50, 50) == kWhiteCColor);
}

TEST_F(ViewsTest, ASecondModalViewIsRefused) {
    auto* first = new ProbeView(CRect(0, 0, 50, 50));
    auto* second = new ProbeView(CRect(0, 0, 50, 50));
    EXPECT_EQ(frame->setModalView(first), 1);
    EXPECT_EQ(frame->setModalView(second), 0);
    EXPECT_EQ(frame->getModalView(), first);
    EXPECT_FALSE(frame->isChild(second));

    auto* behind = new ProbeView(CRect(100, 100, 150, 150));
    frame->addView(behind);
    CPoint outside(120, 120);
    frame->mouse(nullptr, outside, kLButton);
    EXPECT_EQ(behind->clicks, 0);  // swallowed while the modal view is up

    EXPECT_EQ(frame->setModalView(nullptr), 1);
    EXPECT_EQ(first->getNbReference(), 1);  // the caller's reference is left
    first->forget();
    second->forget();
}

TEST_F(ViewsTest, AClickOnTheFrameEndsTheFocusFirst) {
    auto* view = new ProbeView(CRect(0, 0, 10, 10));
    frame->addView(view);
    frame->setFocusView(view);
    CPoint nowhere(150, 140);
    frame->mouse(nullptr, nowhere, kLButton);
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(ViewsTest, ExposePaintsTheWindowAndIdleRedrawsOnlyAfterThat) {
    frame->setBackgroundColor(kRedCColor);
    auto* view = new ProbeView(CRect(50, 50, 60, 60));
    frame->addView(view);
    platform::WindowHandle window = platform::headless::lastWindow();
    const platform::Canvas* image = platform::headless::windowImage(window);
    ASSERT_NE(image, nullptr);

    frame->idle();  // before the first paint: nothing
    EXPECT_TRUE(image->pixel(100, 100) == kBlackCColor);

    platform::headless::postExpose(window, platform::Rect{0, 0, 200, 150});
    platform::processPendingEvents();
    EXPECT_TRUE(image->pixel(100, 100) == kRedCColor);
    EXPECT_TRUE(image->pixel(55, 55) == kGreenCColor);
    EXPECT_FALSE(frame->isDirty());
}

TEST_F(ViewsTest, AWindowThatGoesFirstLeavesAClosedFrame) {
    platform::WindowHandle window = platform::headless::lastWindow();
    platform::headless::destroyFromOutside(window);
    platform::processPendingEvents();
    EXPECT_FALSE(frame->isOpen());
    frame->setDirty(true);
    frame->idle();
    EXPECT_FALSE(frame->setSize(300, 300));
}

TEST_F(ViewsTest, ButtonPressesAndWheelOfTheWindowReachTheViews) {
    auto* view = new ProbeView(CRect(10, 10, 40, 40));
    frame->addView(view);
    platform::WindowHandle window = platform::headless::lastWindow();
    platform::headless::postButtonPress(window, platform::Point{20, 25}, kLButton);
    platform::processPendingEvents();
    EXPECT_EQ(view->clicks, 1);
    EXPECT_EQ(view->lastWhere, CPoint(20, 25));
}

class SizingEditor : public RecordingFrameEditor {
public:
    bool sizeWindowThroughHost(int32_t width, int32_t height) override {
        requests.push_back({width, height});
        return hostResizes;
    }
    std::vector<std::pair<int32_t, int32_t>> requests;
    bool hostResizes = true;
};

TEST(FrameSize, TheHostResizesItsWindowOrTheFrameDoesItByHand) {
    platform::headless::reset();
    SizingEditor sizing;
    auto* frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(0x42), &sizing);
    platform::WindowHandle window = platform::headless::lastWindow();
    frame->draw(frame);  // makes the offscreen, at 200 x 150
    EXPECT_FALSE(frame->setSize(200, 150));  // the current size: nothing to do
    EXPECT_TRUE(sizing.requests.empty());

    EXPECT_TRUE(frame->setSize(300, 200));
    ASSERT_EQ(sizing.requests.size(), 1u);
    EXPECT_EQ(platform::headless::windowImage(window)->width(), 300);
    CRect size;
    EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, 300, 200));
    EXPECT_EQ(frame->getOffscreen()->getWidth(), 300);  // the whole window gets painted

    sizing.hostResizes = false;
    EXPECT_TRUE(frame->setSize(320, 240));
    EXPECT_EQ(platform::headless::windowImage(window)->height(), 240);
    EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, 320, 240));
    EXPECT_EQ(frame->getOffscreen()->getWidth(), 320);
    frame->forget();
}

TEST(FrameSize, CursorsReachTheWindow) {
    platform::headless::reset();
    RecordingFrameEditor editor;
    auto* frame = new CFrame(CRect(0, 0, 20, 20), reinterpret_cast<void*>(0x42), &editor);
    platform::WindowHandle window = platform::headless::lastWindow();
    frame->setCursor(kCursorHand);
    EXPECT_EQ(platform::headless::windowCursor(window), platform::CursorStyle::Hand);
    frame->setCursor(kCursorCopy);
    EXPECT_EQ(platform::headless::windowCursor(window), platform::CursorStyle::Default);
    frame->forget();
    EXPECT_EQ(platform::headless::openWindowCount(), 0);
}

}  // namespace

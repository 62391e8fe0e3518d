// Drops from other applications: the frame's registration, the drag container's item
// count, and the routing of a drag to the view under the live pointer.
#include "GuiTestSupport.h"
#include "gui/CDragContainer.h"
#include "gui/CDropTarget.h"
#include "platform/headless/HeadlessServices.h"

namespace {

using platform::headless::DragData;
using platform::headless::isDropTarget;

class DragRecorder : public CView {
public:
    explicit DragRecorder(const CRect& size) : CView(size) {}
    ~DragRecorder() override {
        if (kept) kept->forget();
    }
    void onDragEnter(CDrawContext*, CDragContainer* drag, const CPoint& where) override {
        record("enter", drag, where);
        if (!kept) {
            kept = drag;
            kept->remember();
        }
    }
    void onDragMove(CDrawContext*, CDragContainer* drag, const CPoint& where) override {
        record("move", drag, where);
    }
    void onDragLeave(CDrawContext*, CDragContainer* drag, const CPoint& where) override {
        record("leave", drag, where);
    }
    bool onDrop(CDrawContext*, CDragContainer* drag, const CPoint& where) override {
        record("drop", drag, where);
        return true;
    }
    void record(const char* what, CDragContainer* drag, const CPoint& where) {
        events.push_back(what);
        counts.push_back(drag ? drag->getCount() : -1);
        points.push_back(where);
    }

    std::vector<std::string> events;
    std::vector<int32_t> counts;
    std::vector<CPoint> points;
    CDragContainer* kept = nullptr;
};

// Two views side by side in a frame whose window lies at (100, 100) on the screen.
class DragDropTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        window = frame->getNativeWindow()->handle();
        platform::headless::setWindowScreenOrigin(window, platform::Point{100, 100});
        left = new DragRecorder(CRect(0, 0, 99, 149));
        right = new DragRecorder(CRect(100, 0, 199, 149));
        frame->addView(left);
        frame->addView(right);
    }

    platform::WindowHandle window = 0;
    DragRecorder* left = nullptr;
    DragRecorder* right = nullptr;
};

TEST_F(DragDropTest, TheFrameTakesDropsFromConstructionToDestruction) {
    EXPECT_TRUE(frame->isDropActive());
    EXPECT_TRUE(isDropTarget(window));
    EXPECT_TRUE(frame->setDropActive(false));
    EXPECT_FALSE(isDropTarget(window));
    EXPECT_FALSE(frame->isDropActive());
    EXPECT_TRUE(frame->setDropActive(false));
    EXPECT_TRUE(frame->setDropActive(true));
    EXPECT_TRUE(isDropTarget(window));

    auto* other = new CFrame(CRect(0, 0, 50, 50), reinterpret_cast<void*>(0x43), &editor);
    platform::WindowHandle otherWindow = other->getNativeWindow()->handle();
    EXPECT_TRUE(isDropTarget(otherWindow));
    other->forget();
    EXPECT_FALSE(isDropTarget(otherWindow));

    auto* windowless = new CFrame(CRect(0, 0, 50, 50), nullptr, &editor);
    EXPECT_FALSE(windowless->isDropActive());
    EXPECT_FALSE(windowless->setDropActive(true));
    EXPECT_TRUE(windowless->setDropActive(false));
    windowless->forget();
}

TEST_F(DragDropTest, ATextIsOneItemAndAFileListAsManyAsFiles) {
    platform::headless::dragEnter(window, DragData::text("hello"), platform::Point{120, 130});
    ASSERT_NE(currentDragContainer(), nullptr);
    EXPECT_EQ(currentDragContainer()->getCount(), 1);
    platform::headless::dragLeave(window);

    platform::headless::dragEnter(window, DragData::files({"/a.krv", "/b.krv", "/c.krb"}),
                                  platform::Point{120, 130});
    EXPECT_EQ(currentDragContainer()->getCount(), 3);
    platform::headless::dragLeave(window);
    EXPECT_EQ(left->counts, std::vector<int32_t>({1, 1, 3, 3}));
}

TEST_F(DragDropTest, TheViewUnderTheLivePointerFollowsTheDrag) {
    platform::headless::dragEnter(window, DragData::files({"/a.krv"}), platform::Point{150, 130});
    platform::headless::dragMove(window, platform::Point{160, 140});
    platform::headless::dragMove(window, platform::Point{250, 140});  // over the right view
    platform::headless::drop(window);
    EXPECT_EQ(left->events, std::vector<std::string>({"enter", "move", "leave"}));
    EXPECT_EQ(left->points[0], CPoint(50, 30));
    EXPECT_EQ(left->points[1], CPoint(60, 40));
    EXPECT_EQ(right->events, std::vector<std::string>({"enter", "drop", "leave"}));
    EXPECT_EQ(right->points[1], CPoint(150, 40));  // in the frame's coordinates
    EXPECT_EQ(currentDragContainer(), nullptr);
}

TEST_F(DragDropTest, LeavingEndsTheDragAndFreesTheContainer) {
    platform::headless::dragEnter(window, DragData::text("x"), platform::Point{150, 130});
    CDragContainer* drag = currentDragContainer();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->getNbReference(), 2);  // the drag's and the view's
    platform::headless::dragLeave(window);
    EXPECT_EQ(currentDragContainer(), nullptr);
    EXPECT_EQ(left->kept, drag);
    EXPECT_EQ(drag->getNbReference(), 1);  // only the view still holds it

    // Without a drag in progress, moves, leaves and drops reach nobody.
    platform::headless::dragMove(window, platform::Point{150, 130});
    platform::headless::drop(window);
    EXPECT_EQ(left->events, std::vector<std::string>({"enter", "leave"}));
}

TEST_F(DragDropTest, AFrameDestroyedDuringADragReleasesTheContainer) {
    platform::headless::dragEnter(window, DragData::text("x"), platform::Point{150, 130});
    ASSERT_NE(currentDragContainer(), nullptr);
    frame->forget();
    frame = new CFrame(CRect(0, 0, 200, 150), reinterpret_cast<void*>(0x42), &editor);
    EXPECT_EQ(currentDragContainer(), nullptr);
}

}  // namespace

#include <vector>

#include "contract/WindowContract.h"
#include "platform/PointerState.h"

namespace {

enum class State { Created, Exposed, Pressed, Destroyed };

// Asserts the order inside the callbacks themselves, as a host would meet them.
class ContractListener : public platform::WindowListener {
public:
    void windowExposed(const platform::Rect& damaged) override {
        EXPECT_NE(state, State::Destroyed);
        damages.push_back(damaged);
        if (state == State::Created) state = State::Exposed;
    }
    void buttonPressed(platform::Point where, int buttons) override {
        EXPECT_EQ(state, State::Exposed) << "a press before the first paint";
        state = State::Pressed;
        pressedAt = where;
        pressedButtons = buttons;
    }
    void wheelTurned(platform::Point, float) override {}
    void keyPressed(const platform::Key&) override {}
    void keyReleased(const platform::Key&) override {}
    void windowDestroyed() override {
        EXPECT_EQ(state, State::Pressed);
        state = State::Destroyed;
        ++destroyedCalls;
    }

    State state = State::Created;
    std::vector<platform::Rect> damages;
    platform::Point pressedAt{-1, -1};
    int pressedButtons = 0;
    int destroyedCalls = 0;
};

TEST(WindowContract, CreatedExposedOncePressedDestroyed) {
    auto driver = makeWindowDriver();
    platform::WindowHandle parent = driver->makeParent(200, 100);
    ASSERT_NE(parent, 0u);
    ContractListener listener;
    auto child = platform::NativeWindow::createChild(parent, 200, 100, listener);
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->exists());
    platform::processPendingEvents();  // whatever the system sent on mapping
    listener.damages.clear();

    // Two exposures queued before one pass paint once, their union.
    driver->expose(child->handle(), platform::Rect{10, 10, 30, 20});
    driver->expose(child->handle(), platform::Rect{50, 40, 60, 90});
    driver->settle();
    platform::processPendingEvents();
    ASSERT_EQ(listener.damages.size(), 1u);
    const platform::Rect& damage = listener.damages[0];
    EXPECT_LE(damage.left, 10);
    EXPECT_LE(damage.top, 10);
    EXPECT_GE(damage.right, 60);
    EXPECT_GE(damage.bottom, 90);
    EXPECT_EQ(listener.state, State::Exposed);

    driver->press(child->handle(), platform::Point{25, 35},
                  platform::kPointerLeft | platform::kPointerShift);
    driver->settle();
    platform::processPendingEvents();
    EXPECT_EQ(listener.state, State::Pressed);
    EXPECT_EQ(listener.pressedAt.x, 25);
    EXPECT_EQ(listener.pressedAt.y, 35);
    EXPECT_EQ(listener.pressedButtons, platform::kPointerLeft | platform::kPointerShift);

    driver->destroyParent();
    driver->settle();
    platform::processPendingEvents();
    EXPECT_EQ(listener.state, State::Destroyed);
    EXPECT_EQ(listener.destroyedCalls, 1);
    EXPECT_FALSE(child->exists());
    child.reset();  // a window already gone is released without complaint
    platform::processPendingEvents();
}

}  // namespace

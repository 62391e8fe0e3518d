// The live pointer state the drag loops poll, fed by real input (SendInput) under Wine.
#include <memory>

#include "Win32TestWindows.h"
#include "platform/PointerState.h"

namespace {

void send(DWORD mouseFlags, WORD key = 0, bool keyUp = false) {
    INPUT input{};
    if (key) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = keyUp ? KEYEVENTF_KEYUP : 0;
    } else {
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = mouseFlags;
    }
    SendInput(1, &input, sizeof(input));
    TestParentWindow::settle();
}

class Win32PointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        child = platform::NativeWindow::createChild(parent.handle(), 100, 100, listener);
        ASSERT_TRUE(child);
        // Beside our window, on the host's: the presses here reach no window of ours, so
        // only the live state speaks (Wine's SendInput swaps neither messages nor state).
        POINT beside{150, 150};
        ClientToScreen(parent.hwnd(), &beside);
        SetCursorPos(beside.x, beside.y);
        TestParentWindow::settle();
    }
    void TearDown() override {
        SwapMouseButton(FALSE);
        send(MOUSEEVENTF_LEFTUP);
        send(MOUSEEVENTF_RIGHTUP);
        send(0, VK_SHIFT, true);
        send(0, VK_CONTROL, true);
    }

    TestParentWindow parent{200, 200, 100, 100};
    RecordingListener listener;
    std::unique_ptr<platform::NativeWindow> child;
};

TEST_F(Win32PointerTest, ButtonsAndModifiersAreReadWhileHeld) {
    EXPECT_EQ(platform::queryPointerButtons(), 0);
    send(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(platform::queryPointerButtons(), platform::kPointerLeft);
    send(0, VK_SHIFT);
    send(0, VK_CONTROL);
    EXPECT_EQ(platform::queryPointerButtons(),
              platform::kPointerLeft | platform::kPointerShift | platform::kPointerControl);
    send(MOUSEEVENTF_LEFTUP);
    send(0, VK_SHIFT, true);
    EXPECT_EQ(platform::queryPointerButtons(), platform::kPointerControl);
    send(0, VK_CONTROL, true);
    send(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_EQ(platform::queryPointerButtons(), platform::kPointerRight);
    send(MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(platform::queryPointerButtons(), 0);
}

TEST_F(Win32PointerTest, ALeftHandedUsersPhysicalRightButtonIsTheLeftOne) {
    SwapMouseButton(TRUE);
    send(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_EQ(platform::queryPointerButtons(), platform::kPointerLeft);
    send(MOUSEEVENTF_RIGHTUP);
    send(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(platform::queryPointerButtons(), platform::kPointerRight);
}

TEST_F(Win32PointerTest, NothingIsHeldOnceOurWindowsAreGone) {
    send(MOUSEEVENTF_LEFTDOWN);
    ASSERT_EQ(platform::queryPointerButtons(), platform::kPointerLeft);
    child.reset();
    EXPECT_EQ(platform::queryPointerButtons(), 0);
}

}  // namespace

// Our child window under Wine: real windows, messages as the system sends them, pixels read
// back from the window.
#include <memory>

#include "Win32TestWindows.h"
#include "platform/PointerState.h"
#include "platform/win32/GdiCanvas.h"
#include "platform/win32/Win32Windows.h"

namespace {

using platform::NativeWindow;

HWND hwndOf(const NativeWindow& window) { return reinterpret_cast<HWND>(window.handle()); }

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = std::make_unique<TestParentWindow>(300, 200, 50, 60);
        child = NativeWindow::createChild(parent->handle(), 200, 100, listener);
        ASSERT_TRUE(child);
        platform::processPendingEvents();
        listener.exposed.clear();
    }
    void TearDown() override {
        child.reset();
        parent.reset();
        BYTE keys[256] = {};
        SetKeyboardState(keys);
    }

    void post(UINT message, WPARAM wParam, LPARAM lParam) {
        postTo(hwndOf(*child), message, wParam, lParam);
    }
    static void postTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        PostMessageA(window, message, wParam, lParam);
        platform::processPendingEvents();
    }
    void holdInKeyboardState(int virtualKey) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[virtualKey] = 0x80;
        SetKeyboardState(keys);
    }
    static LPARAM keyParameter(UINT virtualKey, bool up) {
        LPARAM scan = LPARAM(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
        return 1 | scan | (up ? LPARAM(0xC0000000) : 0);
    }

    RecordingListener listener;
    std::unique_ptr<TestParentWindow> parent;
    std::unique_ptr<NativeWindow> child;
};

TEST(Win32WindowCreation, IsRefusedWithoutAParentOrASize) {
    RecordingListener listener;
    EXPECT_FALSE(NativeWindow::createChild(0, 10, 10, listener));
    TestParentWindow parent(100, 100);
    EXPECT_FALSE(NativeWindow::createChild(parent.handle(), 0, 10, listener));
    EXPECT_FALSE(NativeWindow::createChild(parent.handle(), 10, -1, listener));
    platform::WindowHandle gone = 0;
    {
        TestParentWindow destroyed(50, 50);
        gone = destroyed.handle();
    }
    EXPECT_FALSE(NativeWindow::createChild(gone, 10, 10, listener));
    EXPECT_FALSE(platform::win32::anyWindowOpen());
}

TEST_F(Win32WindowTest, SitsAtTheParentsOriginAndAnswersQueriesOnTheWindowsAround) {
    HWND window = hwndOf(*child);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetParent(window), parent->hwnd());
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
              WS_CLIPCHILDREN | WS_CLIPSIBLINGS);

    POINT parentOrigin{0, 0};
    ClientToScreen(parent->hwnd(), &parentOrigin);
    platform::Rect rect{};
    ASSERT_TRUE(platform::windowScreenRect(child->handle(), rect));
    EXPECT_EQ(rect.left, parentOrigin.x);
    EXPECT_EQ(rect.top, parentOrigin.y);
    EXPECT_EQ(rect.width(), 200);
    EXPECT_EQ(rect.height(), 100);
    platform::Point origin = child->screenOrigin();
    EXPECT_EQ(origin.x, parentOrigin.x);
    EXPECT_EQ(origin.y, parentOrigin.y);

    EXPECT_EQ(platform::parentWindow(child->handle()), parent->handle());
    EXPECT_EQ(platform::parentWindow(parent->handle()), 0u);
    EXPECT_FALSE(platform::isTopLevelWindow(child->handle()));
    EXPECT_TRUE(platform::isTopLevelWindow(parent->handle()));

    child->resize(250, 120);
    ASSERT_TRUE(platform::windowScreenRect(child->handle(), rect));
    EXPECT_EQ(rect.width(), 250);
    EXPECT_EQ(rect.height(), 120);
    EXPECT_EQ(rect.left, parentOrigin.x) << "a resize does not move it";

    platform::Rect before{};
    ASSERT_TRUE(platform::windowScreenRect(parent->handle(), before));
    platform::resizeWindow(parent->handle(), before.width() + 30, before.height() + 20);
    platform::Rect after{};
    ASSERT_TRUE(platform::windowScreenRect(parent->handle(), after));
    EXPECT_EQ(after.width(), before.width() + 30);
    EXPECT_EQ(after.height(), before.height() + 20);
    EXPECT_EQ(after.left, before.left);

    // Handles of no window answer nothing.
    EXPECT_FALSE(platform::windowScreenRect(0, rect));
    EXPECT_FALSE(platform::windowScreenRect(0x7FFF0, rect));
    EXPECT_EQ(platform::parentWindow(0x7FFF0), 0u);
    EXPECT_FALSE(platform::isTopLevelWindow(0));
}

TEST_F(Win32WindowTest, PressesCarryTheButtonTheModifiersAndSignedPositions) {
    post(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(12, 34));
    post(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(-3, 5));
    holdInKeyboardState(VK_MENU);
    post(WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(7, 8));
    ASSERT_EQ(listener.presses.size(), 3u);
    EXPECT_EQ(listener.presses[0].where.x, 12);
    EXPECT_EQ(listener.presses[0].where.y, 34);
    EXPECT_EQ(listener.presses[0].buttons, platform::kPointerLeft | platform::kPointerShift);
    EXPECT_EQ(listener.presses[1].where.x, -3);
    EXPECT_EQ(listener.presses[1].buttons, platform::kPointerRight | platform::kPointerControl);
    EXPECT_EQ(listener.presses[2].buttons, platform::kPointerMiddle | platform::kPointerAlt);
    // Double clicks are the toolkit's business: the class asks for none.
    EXPECT_EQ(GetClassLongA(hwndOf(*child), GCL_STYLE) & CS_DBLCLKS, 0u);
}

// Under Wine the live state can lag behind a press message: a drag loop started by the
// press must see the button held, and not once its release is on the way.
TEST_F(Win32WindowTest, APressJustDeliveredCountsAsHeldUntilItsReleaseArrives) {
    std::vector<int> seenInside;
    listener.onPress = [&] { seenInside.push_back(platform::queryPointerButtons()); };
    ASSERT_EQ(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0) << "no real button may be down here";
    post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(hwndOf(*child), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    PostMessageA(hwndOf(*child), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    platform::processPendingEvents();
    ASSERT_EQ(seenInside.size(), 2u);
    EXPECT_EQ(seenInside[0], platform::kPointerLeft);
    EXPECT_EQ(seenInside[1], 0) << "its release is already queued";
    EXPECT_EQ(platform::queryPointerButtons(), 0);
}

TEST_F(Win32WindowTest, WheelNotchesArriveAtTheirWindowPosition) {
    platform::Point origin = child->screenOrigin();
    post(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(origin.x + 10, origin.y + 20));
    post(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA / 2)),
         MAKELPARAM(origin.x + 1, origin.y + 2));
    ASSERT_EQ(listener.wheels.size(), 2u);
    EXPECT_EQ(listener.wheels[0].where.x, 10);
    EXPECT_EQ(listener.wheels[0].where.y, 20);
    EXPECT_FLOAT_EQ(listener.wheels[0].distance, 1.0f);
    EXPECT_EQ(listener.wheels[1].where.x, 1);
    EXPECT_FLOAT_EQ(listener.wheels[1].distance, -0.5f);
}

TEST_F(Win32WindowTest, KeysAreCharactersOrNamesReportedOnce) {
    post(WM_KEYDOWN, 'A', keyParameter('A', false));  // TranslateMessage adds the WM_CHAR
    post(WM_KEYUP, 'A', keyParameter('A', true));
    post(WM_KEYDOWN, VK_RETURN, keyParameter(VK_RETURN, false));
    post(WM_KEYUP, VK_RETURN, keyParameter(VK_RETURN, true));
    post(WM_KEYDOWN, VK_LEFT, keyParameter(VK_LEFT, false));
    holdInKeyboardState(VK_SHIFT);
    post(WM_KEYDOWN, 'B', keyParameter('B', false));
    post(WM_CHAR, 0xE9, 1);  // a Latin-1 letter, as an ANSI window receives it

    using platform::Key;
    using platform::KeyName;
    ASSERT_EQ(listener.keysDown.size(), 5u);
    EXPECT_EQ(listener.keysDown[0], (Key{'a', KeyName::Unnamed, 0}));
    EXPECT_EQ(listener.keysDown[1], (Key{0, KeyName::Return, 0}));
    EXPECT_EQ(listener.keysDown[2], (Key{0, KeyName::Left, 0}));
    EXPECT_EQ(listener.keysDown[3], (Key{'B', KeyName::Unnamed, platform::kKeyShift}));
    EXPECT_EQ(listener.keysDown[4], (Key{0xE9, KeyName::Unnamed, platform::kKeyShift}));
    ASSERT_EQ(listener.keysUp.size(), 2u);
    EXPECT_EQ(listener.keysUp[0], (Key{'a', KeyName::Unnamed, 0}));
    EXPECT_EQ(listener.keysUp[1], (Key{0, KeyName::Return, 0}));
}

TEST_F(Win32WindowTest, PaintsOncePerPassAndDrawsOnTheWindowItself) {
    RECT first{0, 0, 10, 10}, second{150, 80, 160, 90};
    InvalidateRect(hwndOf(*child), &first, FALSE);
    InvalidateRect(hwndOf(*child), &second, FALSE);
    listener.onExpose = [this] {
        child->createCanvas()->fillRect(platform::Rect{0, 0, 200, 100},
                                        platform::Color{0, 200, 0, 255});
    };
    platform::processPendingEvents();
    ASSERT_EQ(listener.exposed.size(), 1u);
    EXPECT_EQ(listener.exposed[0].left, 0);
    EXPECT_EQ(listener.exposed[0].right, 160);
    EXPECT_EQ(listener.exposed[0].bottom, 90);
    platform::processPendingEvents();
    EXPECT_EQ(listener.exposed.size(), 1u) << "painted again without new damage";

    // The pixels are on the window: read back through a context of its own.
    auto copy = platform::Canvas::createImage(200, 100);
    HDC windowDc = GetDC(hwndOf(*child));
    BitBlt(copy->impl().surface->dc, 0, 0, 200, 100, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(hwndOf(*child), windowDc);
    EXPECT_EQ(copy->pixel(5, 5), (platform::Color{0, 200, 0, 255}));
    EXPECT_EQ(copy->pixel(199, 99), (platform::Color{0, 200, 0, 255}));

    // A drag loop lets one paint through at a time, and only when one is due.
    EXPECT_FALSE(platform::dispatchOnePendingPaint());
    InvalidateRect(hwndOf(*child), &first, FALSE);
    EXPECT_TRUE(platform::dispatchOnePendingPaint());
    EXPECT_EQ(listener.exposed.size(), 2u);
    EXPECT_FALSE(platform::dispatchOnePendingPaint());

    // The host's window waiting for its own paint (its loop stands still during a drag)
    // holds back no paint of ours.
    InvalidateRect(parent->hwnd(), nullptr, FALSE);
    InvalidateRect(hwndOf(*child), &second, FALSE);
    EXPECT_TRUE(platform::dispatchOnePendingPaint());
    EXPECT_EQ(listener.exposed.size(), 3u);
    InvalidateRect(hwndOf(*child), &second, FALSE);
    platform::processPendingEvents();
    EXPECT_EQ(listener.exposed.size(), 4u);
    RECT hostDamage{};
    EXPECT_TRUE(GetUpdateRect(parent->hwnd(), &hostDamage, FALSE)) << "the host's is its own";
}

TEST_F(Win32WindowTest, ShowsTheCursorItWasGiven) {
    platform::Point origin = child->screenOrigin();
    SetCursorPos(origin.x + 20, origin.y + 20);
    TestParentWindow::drain();
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    child->setCursor(platform::CursorStyle::Hand);
    EXPECT_EQ(GetCursor(), hand) << "a pointer resting on the window sees it at once";
    SetCursor(arrow);
    SendMessageA(hwndOf(*child), WM_SETCURSOR, WPARAM(hwndOf(*child)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), hand);
    child->setCursor(platform::CursorStyle::Default);
    SendMessageA(hwndOf(*child), WM_SETCURSOR, WPARAM(hwndOf(*child)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(Win32WindowTest, AHostClosingTheEditorInsideAPressOrPaintIsSurvived) {
    HWND window = hwndOf(*child);
    listener.onPress = [this] { child.reset(); };
    postTo(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    postTo(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));  // to a window that is gone
    EXPECT_EQ(listener.presses.size(), 1u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(listener.destroyed, 0) << "our own destruction is no news to the listener";
    EXPECT_FALSE(platform::win32::anyWindowOpen());
    EXPECT_EQ(platform::queryPointerButtons(), 0) << "a drag loop left behind sees the button up";

    child = NativeWindow::createChild(parent->handle(), 200, 100, listener);
    ASSERT_TRUE(child);
    listener.onExpose = [this] { child.reset(); };
    InvalidateRect(hwndOf(*child), nullptr, FALSE);
    platform::processPendingEvents();
    EXPECT_FALSE(child);
    EXPECT_FALSE(platform::dispatchOnePendingPaint());
}

TEST_F(Win32WindowTest, ItsParentsDestructionIsReportedOnceAndLeavesNothingToDestroy) {
    HWND window = hwndOf(*child);
    DestroyWindow(parent->hwnd());
    EXPECT_EQ(listener.destroyed, 1);
    EXPECT_FALSE(child->exists());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(platform::win32::anyWindowOpen());
    // Drawing and queries on a window that is gone do nothing harmful.
    auto canvas = child->createCanvas();
    ASSERT_TRUE(canvas);
    canvas->fillRect(platform::Rect{0, 0, 5, 5}, platform::Color{255, 0, 0, 255});
    child->resize(10, 10);
    child->setCursor(platform::CursorStyle::Wait);
    child.reset();
    EXPECT_EQ(listener.destroyed, 1);
}

TEST_F(Win32WindowTest, WindowsShareOneClassOfOurModuleUntilTheLastIsGone) {
    char name[128] = {};
    ASSERT_GT(GetClassNameA(hwndOf(*child), name, sizeof(name)), 0);
    RecordingListener other;
    auto second = NativeWindow::createChild(parent->handle(), 50, 50, other);
    ASSERT_TRUE(second);
    char secondName[128] = {};
    GetClassNameA(hwndOf(*second), secondName, sizeof(secondName));
    EXPECT_STREQ(name, secondName);
    WNDCLASSA info{};
    HINSTANCE module = platform::win32::ownModule();
    EXPECT_EQ(HINSTANCE(GetClassLongPtrA(hwndOf(*child), GCLP_HMODULE)), module);

    child.reset();
    EXPECT_TRUE(GetClassInfoA(module, name, &info));
    second.reset();
    EXPECT_FALSE(GetClassInfoA(module, name, &info)) << "left registered after the last window";
    child = NativeWindow::createChild(parent->handle(), 200, 100, listener);
    EXPECT_TRUE(child) << "registered again for a new window";
}

// The editor's size at twice the desktop's dots per inch: the window is as large as the
// device pixels, the listener hears logical ones, and a 1x bitmap drawn on the window's
// canvas covers its device rectangle, resampled.
TEST(Win32WindowAtScale, TakesTheDeviceSizeReportsLogicalPixelsAndDrawsBitmapsAtDeviceSize) {
    using platform::Color;
    using platform::Rect;
    TestParentWindow parent(900, 700, 20, 20);
    RecordingListener listener;
    auto child = NativeWindow::createChild(parent.handle(), 400, 309, listener, 2.0);
    ASSERT_TRUE(child);
    EXPECT_EQ(child->scale(), 2.0);
    RECT client{};
    GetClientRect(hwndOf(*child), &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 618);
    platform::processPendingEvents();
    ASSERT_FALSE(listener.exposed.empty());
    EXPECT_EQ(listener.exposed.back().right, 400) << "damage in logical pixels";
    EXPECT_EQ(listener.exposed.back().bottom, 309);

    listener.exposed.clear();
    RECT damage{201, 101, 204, 103};
    InvalidateRect(hwndOf(*child), &damage, FALSE);
    PostMessageA(hwndOf(*child), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(201, 101));
    PostMessageA(hwndOf(*child), WM_LBUTTONUP, 0, MAKELPARAM(201, 101));
    platform::processPendingEvents();
    ASSERT_EQ(listener.presses.size(), 1u);
    EXPECT_EQ(listener.presses[0].where.x, 100);
    EXPECT_EQ(listener.presses[0].where.y, 50);
    ASSERT_EQ(listener.exposed.size(), 1u);
    EXPECT_EQ(listener.exposed[0].left, 100);
    EXPECT_EQ(listener.exposed[0].top, 50);
    EXPECT_EQ(listener.exposed[0].right, 102) << "the logical pixels covering the damage";
    EXPECT_EQ(listener.exposed[0].bottom, 52);

    // A 1x bitmap, red on its left half and blue on its right, drawn at logical (20, 10).
    const Color black{0, 0, 0, 255}, red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    auto bitmap = platform::Canvas::createImage(10, 6);
    bitmap->fillRect(Rect{0, 0, 5, 6}, red);
    bitmap->fillRect(Rect{5, 0, 10, 6}, blue);
    listener.onExpose = [&] {
        auto canvas = child->createCanvas();
        EXPECT_EQ(canvas->scale(), 2.0);
        EXPECT_EQ(canvas->deviceWidth(), 800);
        canvas->fillRect(Rect{0, 0, 400, 309}, black);
        canvas->copyFrom(*bitmap, 0, 0, Rect{20, 10, 30, 16});
    };
    InvalidateRect(hwndOf(*child), nullptr, FALSE);
    platform::processPendingEvents();
    auto shown = platform::Canvas::createImage(800, 618);
    HDC windowDc = GetDC(hwndOf(*child));
    BitBlt(shown->impl().surface->dc, 0, 0, 800, 618, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(hwndOf(*child), windowDc);
    Rect ink{800, 618, 0, 0};
    for (int y = 0; y < 618; ++y)
        for (int x = 0; x < 800; ++x)
            if (shown->pixel(x, y) != black) ink = platform::unite(ink, Rect{x, y, x + 1, y + 1});
    EXPECT_EQ(ink.left, 40);
    EXPECT_EQ(ink.top, 20);
    EXPECT_EQ(ink.right, 60);
    EXPECT_EQ(ink.bottom, 32);
    EXPECT_EQ(shown->pixel(41, 21), red);
    EXPECT_EQ(shown->pixel(58, 30), blue);

    // The system tells a child when its parent's dots per inch changed
    // (WM_DPICHANGED_AFTERPARENT): the factor may be another now.
    SendMessageA(hwndOf(*child), 0x02E3, 0, 0);
    EXPECT_EQ(listener.scaleChanges, 1);

    // Back at 1x the window shrinks and is exposed whole.
    listener.onExpose = nullptr;
    listener.exposed.clear();
    child->setScale(1.0);
    platform::processPendingEvents();
    GetClientRect(hwndOf(*child), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 309);
    ASSERT_FALSE(listener.exposed.empty());
    EXPECT_EQ(listener.exposed.back().right, 400);
    EXPECT_EQ(listener.exposed.back().bottom, 309);
}

}  // namespace

// The live button and modifier state for the controls' drag loops.
#include "platform/PointerState.h"
#include "platform/win32/Win32Module.h"
#include "platform/win32/Win32Windows.h"

namespace platform {

namespace {

// Longer than Wine's lag between a press message and the live state, far shorter than a
// drag; a release before it ends still shows at once.
constexpr DWORD kPressCatchUpMilliseconds = 250;

struct PressFromMessage {
    int button = 0;
    DWORD tick = 0;
};

PressFromMessage& lastPress() {
    static PressFromMessage press;
    return press;
}

bool held(int virtualKey) { return GetAsyncKeyState(virtualKey) < 0; }

UINT releaseMessageOf(int button) {
    switch (button) {
        case kPointerLeft: return WM_LBUTTONUP;
        case kPointerMiddle: return WM_MBUTTONUP;
        default: return WM_RBUTTONUP;
    }
}

// The button of the last press message while the live state has not caught up with it.
// Only a state showing no button at all can be the stale one.
int pressNotYetLive(int liveButtons) {
    PressFromMessage& press = lastPress();
    if (!press.button) return 0;
    MSG release{};
    UINT releaseMessage = releaseMessageOf(press.button);
    const int anyButton = kPointerLeft | kPointerMiddle | kPointerRight;
    if ((liveButtons & anyButton) || GetTickCount() - press.tick > kPressCatchUpMilliseconds ||
        PeekMessageA(&release, nullptr, releaseMessage, releaseMessage, PM_NOREMOVE)) {
        press.button = 0;
        return 0;
    }
    return press.button;
}

}  // namespace

namespace win32 {

void notePressMessage(int button) { lastPress() = PressFromMessage{button, GetTickCount()}; }

void noteReleaseMessage(int button) {
    if (lastPress().button == button) lastPress().button = 0;
}

}  // namespace win32

int queryPointerButtons() {
    // A drag loop that outlives our windows (the host closed the editor) sees the button up.
    if (!win32::anyWindowOpen()) return 0;
    // The mouse-button keys are the physical buttons: a left-handed user's left click is
    // the physical right button.
    bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    int buttons = 0;
    if (held(VK_LBUTTON)) buttons |= swapped ? kPointerRight : kPointerLeft;
    if (held(VK_RBUTTON)) buttons |= swapped ? kPointerLeft : kPointerRight;
    if (held(VK_MBUTTON)) buttons |= kPointerMiddle;
    if (held(VK_SHIFT)) buttons |= kPointerShift;
    if (held(VK_CONTROL)) buttons |= kPointerControl;
    if (held(VK_MENU)) buttons |= kPointerAlt;
    return buttons | pressNotYetLive(buttons);
}

bool queryPointerScreenPosition(Point& where) {
    POINT position{};
    if (!GetCursorPos(&position)) return false;
    where = Point{int(position.x), int(position.y)};
    return true;
}

int doubleClickMilliseconds() { return int(GetDoubleClickTime()); }

}  // namespace platform

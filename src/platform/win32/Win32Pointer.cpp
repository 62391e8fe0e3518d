// The live button and modifier state for the controls' drag loops.
#include "platform/PointerState.h"
#include "platform/win32/Win32Module.h"
#include "platform/win32/Win32Windows.h"

namespace platform {

namespace {

bool held(int virtualKey) { return GetAsyncKeyState(virtualKey) < 0; }

}  // namespace

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
    return buttons;
}

bool queryPointerScreenPosition(Point& where) {
    POINT position{};
    if (!GetCursorPos(&position)) return false;
    where = Point{int(position.x), int(position.y)};
    return true;
}

int doubleClickMilliseconds() { return int(GetDoubleClickTime()); }

}  // namespace platform

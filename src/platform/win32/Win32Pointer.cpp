// The live button and modifier state for the controls' drag loops.
#include "platform/PointerState.h"
#include "platform/win32/Win32Module.h"
#include "platform/win32/Win32Windows.h"

namespace platform {

namespace {

// Longer than the asynchronous state can lag, short against a quick click.
constexpr DWORD kPressMessageLead = 100;

int pressedByMessage = 0;
DWORD pressMessageTime = 0;

bool held(int virtualKey) { return GetAsyncKeyState(virtualKey) < 0; }

// The button of a press message just delivered, which a drag loop starting from that
// message must see held.
int justPressed() {
    if (pressedByMessage && GetTickCount() - pressMessageTime < kPressMessageLead)
        return pressedByMessage;
    pressedByMessage = 0;
    return 0;
}

}  // namespace

namespace win32 {

void notePressMessage(int button) {
    pressedByMessage = button;
    pressMessageTime = GetTickCount();
}

void noteReleaseMessage(int button) {
    if (pressedByMessage == button) pressedByMessage = 0;
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
    // Only a state that shows no button at all can be the stale one.
    const int anyButton = kPointerLeft | kPointerMiddle | kPointerRight;
    return (buttons & anyButton) ? buttons : buttons | justPressed();
}

bool queryPointerScreenPosition(Point& where) {
    POINT position{};
    if (!GetCursorPos(&position)) return false;
    where = Point{int(position.x), int(position.y)};
    return true;
}

int doubleClickMilliseconds() { return int(GetDoubleClickTime()); }

}  // namespace platform

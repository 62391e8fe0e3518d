#include "platform/x11/X11Keys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "platform/PointerState.h"

namespace platform::x11 {

namespace {

unsigned char virtualKeyOf(KeySym symbol) {
    switch (symbol) {
        case XK_BackSpace: return VKEY_BACK;
        case XK_Tab:
        case XK_ISO_Left_Tab: return VKEY_TAB;
        case XK_Clear: return VKEY_CLEAR;
        case XK_Return:
        case XK_KP_Enter: return VKEY_RETURN;
        case XK_Pause: return VKEY_PAUSE;
        case XK_Escape: return VKEY_ESCAPE;
        case XK_space: return VKEY_SPACE;
        case XK_End:
        case XK_KP_End: return VKEY_END;
        case XK_Home:
        case XK_KP_Home: return VKEY_HOME;
        case XK_Left:
        case XK_KP_Left: return VKEY_LEFT;
        case XK_Up:
        case XK_KP_Up: return VKEY_UP;
        case XK_Right:
        case XK_KP_Right: return VKEY_RIGHT;
        case XK_Down:
        case XK_KP_Down: return VKEY_DOWN;
        case XK_Page_Up:
        case XK_KP_Page_Up: return VKEY_PAGEUP;
        case XK_Page_Down:
        case XK_KP_Page_Down: return VKEY_PAGEDOWN;
        default: return 0;
    }
}

}  // namespace

VstKeyCode keyCodeOf(XKeyEvent& event) {
    char text[8] = {};
    KeySym symbol = NoSymbol;
    int length = XLookupString(&event, text, sizeof(text) - 1, &symbol, nullptr);
    VstKeyCode key{};
    key.virt = virtualKeyOf(symbol);
    if (key.virt == 0 && length == 1) key.character = static_cast<unsigned char>(text[0]);
    if (event.state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
    if (event.state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
    if (event.state & ControlMask) key.modifier |= MODIFIER_CONTROL;
    return key;
}

int modifierBits(unsigned int state) {
    int bits = 0;
    if (state & Button1Mask) bits |= kPointerLeft;
    if (state & Button2Mask) bits |= kPointerMiddle;
    if (state & Button3Mask) bits |= kPointerRight;
    if (state & ShiftMask) bits |= kPointerShift;
    if (state & ControlMask) bits |= kPointerControl;
    if (state & Mod1Mask) bits |= kPointerAlt;
    return bits;
}

}  // namespace platform::x11

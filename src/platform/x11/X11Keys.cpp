#include "platform/x11/X11Keys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "platform/PointerState.h"

namespace platform::x11 {

namespace {

KeyName keyNameOf(KeySym symbol) {
    switch (symbol) {
        case XK_BackSpace: return KeyName::Back;
        case XK_Tab:
        case XK_ISO_Left_Tab: return KeyName::Tab;
        case XK_Clear: return KeyName::Clear;
        case XK_Return:
        case XK_KP_Enter: return KeyName::Return;
        case XK_Pause: return KeyName::Pause;
        case XK_Escape: return KeyName::Escape;
        case XK_space: return KeyName::Space;
        case XK_End:
        case XK_KP_End: return KeyName::End;
        case XK_Home:
        case XK_KP_Home: return KeyName::Home;
        case XK_Left:
        case XK_KP_Left: return KeyName::Left;
        case XK_Up:
        case XK_KP_Up: return KeyName::Up;
        case XK_Right:
        case XK_KP_Right: return KeyName::Right;
        case XK_Down:
        case XK_KP_Down: return KeyName::Down;
        case XK_Page_Up:
        case XK_KP_Page_Up: return KeyName::PageUp;
        case XK_Page_Down:
        case XK_KP_Page_Down: return KeyName::PageDown;
        case XK_Delete:
        case XK_KP_Delete: return KeyName::Delete;
        case XK_Insert:
        case XK_KP_Insert: return KeyName::Insert;
        default: return KeyName::Unnamed;
    }
}

}  // namespace

Key keyOf(XKeyEvent& event) {
    char text[8] = {};
    KeySym symbol = NoSymbol;
    int length = XLookupString(&event, text, sizeof(text) - 1, &symbol, nullptr);
    Key key;
    key.name = keyNameOf(symbol);
    if (key.name == KeyName::Unnamed && length == 1) key.character = static_cast<unsigned char>(text[0]);
    if (event.state & ShiftMask) key.modifiers |= kKeyShift;
    if (event.state & Mod1Mask) key.modifiers |= kKeyAlt;
    if (event.state & ControlMask) key.modifiers |= kKeyControl;
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

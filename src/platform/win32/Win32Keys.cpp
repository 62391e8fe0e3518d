#include "platform/win32/Win32Keys.h"

namespace platform::win32 {

KeyName keyNameOf(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_BACK: return KeyName::Back;
        case VK_TAB: return KeyName::Tab;
        case VK_CLEAR: return KeyName::Clear;
        case VK_RETURN: return KeyName::Return;
        case VK_PAUSE: return KeyName::Pause;
        case VK_ESCAPE: return KeyName::Escape;
        case VK_SPACE: return KeyName::Space;
        case VK_END: return KeyName::End;
        case VK_HOME: return KeyName::Home;
        case VK_LEFT: return KeyName::Left;
        case VK_UP: return KeyName::Up;
        case VK_RIGHT: return KeyName::Right;
        case VK_DOWN: return KeyName::Down;
        case VK_PRIOR: return KeyName::PageUp;
        case VK_NEXT: return KeyName::PageDown;
        case VK_DELETE: return KeyName::Delete;
        case VK_INSERT: return KeyName::Insert;
        default: return KeyName::Unnamed;
    }
}

int heldKeyModifiers() {
    int modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= kKeyShift;
    if (GetKeyState(VK_MENU) < 0) modifiers |= kKeyAlt;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= kKeyControl;
    return modifiers;
}

bool KeyTranslator::keyDown(WPARAM virtualKey, int modifiers, Key& key) {
    lastDown = virtualKey;
    KeyName name = keyNameOf(virtualKey);
    lastDownNamed = name != KeyName::Unnamed;
    if (!lastDownNamed) return false;  // its character, if any, follows as WM_CHAR
    key = Key{0, name, modifiers};
    return true;
}

bool KeyTranslator::character(WPARAM character, int modifiers, Key& key) {
    if (lastDownNamed || character == 0 || character > 0xFF) return false;
    if (lastDown < 256) typed[lastDown] = static_cast<unsigned char>(character);
    key = Key{int(character), KeyName::Unnamed, modifiers};
    return true;
}

bool KeyTranslator::keyUp(WPARAM virtualKey, int modifiers, Key& key) {
    KeyName name = keyNameOf(virtualKey);
    if (name != KeyName::Unnamed) {
        key = Key{0, name, modifiers};
        return true;
    }
    if (virtualKey >= 256 || typed[virtualKey] == 0) return false;
    key = Key{typed[virtualKey], KeyName::Unnamed, modifiers};
    typed[virtualKey] = 0;
    return true;
}

}  // namespace platform::win32

// Keyboard messages of our windows as platform keys: named keys from the virtual key of
// WM_KEYDOWN and WM_KEYUP, characters (bytes of the ANSI code page) from WM_CHAR.
#pragma once

#include "platform/Types.h"
#include "platform/win32/Win32Module.h"

namespace platform::win32 {

// The named key of a virtual key; Unnamed for the keys that type characters.
KeyName keyNameOf(WPARAM virtualKey);
// The modifiers held when the message being handled was sent (KeyModifierBits).
int heldKeyModifiers();

// One window's keyboard messages, in the order the message loop delivers them: a key down,
// the character TranslateMessage made of it, the key up.
class KeyTranslator {
public:
    // Each answers true with key filled when the message is a key to report.
    bool keyDown(WPARAM virtualKey, int modifiers, Key& key);
    bool character(WPARAM character, int modifiers, Key& key);
    bool keyUp(WPARAM virtualKey, int modifiers, Key& key);

private:
    WPARAM lastDown = 0;
    // Named keys are reported on their down message; the character some of them also
    // make (Back, Tab, Return, Escape, Space) must not come a second time.
    bool lastDownNamed = false;
    // The character each key typed, so that its release reports the same character.
    unsigned char typed[256] = {};
};

}  // namespace platform::win32

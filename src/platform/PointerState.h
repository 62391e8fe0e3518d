// The live state of the mouse buttons, the modifier keys and the pointer, which the
// controls' drag loops poll until the button is released.
#pragma once

#include "platform/Canvas.h"

namespace platform {

// Bits of the button and modifier state; the toolkit uses the same values.
enum PointerBits : int {
    kPointerLeft = 1,
    kPointerMiddle = 2,
    kPointerRight = 4,
    kPointerShift = 8,
    kPointerControl = 16,
    kPointerAlt = 32,
};

// Buttons and modifiers held now; 0 when no window of ours is open.
int queryPointerButtons();
// The pointer position in screen coordinates; false when it cannot be read.
bool queryPointerScreenPosition(Point& where);
// The longest time between the two clicks of a double click, as the user has set it.
int doubleClickMilliseconds();

}  // namespace platform

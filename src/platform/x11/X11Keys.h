// Key events of our windows as platform keys.
#pragma once

#include <X11/Xlib.h>

#include "platform/Types.h"

namespace platform::x11 {

Key keyOf(XKeyEvent& event);
// The toolkit's button and modifier bits of an X modifier state.
int modifierBits(unsigned int state);

}  // namespace platform::x11

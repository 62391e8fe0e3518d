// Key events of our windows as the key codes hosts forward.
#pragma once

#include <X11/Xlib.h>

#include "host/vst_abi.h"

namespace platform::x11 {

VstKeyCode keyCodeOf(XKeyEvent& event);
// The toolkit's button and modifier bits of an X modifier state.
int modifierBits(unsigned int state);

}  // namespace platform::x11

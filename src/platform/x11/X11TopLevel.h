// The top-level window around one of ours: the child of the root that contains it. A
// plug-in's window is embedded, so dialogs and drops have to deal with the host's one.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// window itself when it is a top-level; 0 when it does not exist.
Window topLevelOf(Display* display, Window window);

}  // namespace platform::x11

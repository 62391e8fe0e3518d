// The host's top-level window around one of ours. A plug-in's window is embedded, so
// dialogs and drops have to deal with the host's one: the client window a window manager
// manages (it carries WM_STATE), not the frame the manager may have put around it.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// The nearest of window and its ancestors that carries WM_STATE; without a window manager
// none does, and the child of the root that contains window answers. window itself when
// it is a top-level; 0 when it does not exist.
Window topLevelOf(Display* display, Window window);

}  // namespace platform::x11

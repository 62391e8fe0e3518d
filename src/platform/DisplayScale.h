// The factor the desktop asks applications to draw at (its dots per inch over 96).
#pragma once

#include "platform/NativeWindow.h"

namespace platform {

// The desktop's factor for a window shown in parent (0: the default screen), not rounded;
// 1 when the desktop says nothing.
// - X11: the Xft.dpi resource, then the XSETTINGS Xft/DPI, then Gdk/WindowScalingFactor.
// - Windows: the dots per inch of parent as the system sees it; 1 where parent is not
//   aware of them, because the system then stretches the window itself.
double desktopScaleFactor(WindowHandle parent);

}  // namespace platform

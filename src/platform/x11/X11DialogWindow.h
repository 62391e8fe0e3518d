// The top-level windows of our own that ask the user something (message boxes, the built-in
// file dialog): fixed in size, placed over the host's window, marked as dialogs.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace platform::x11 {

// A dialog window selecting eventMask, not yet mapped: centred over transientFor (the screen
// without one) and kept on the screen, titled, staying above transientFor, and asking to be
// told of the window manager's close. 0 when it cannot be made.
Window createDialogWindow(Display* display, const std::string& title, int width, int height,
                          Window transientFor, long eventMask);

// The window manager asking a window of ours to close.
bool isCloseRequest(Display* display, const XEvent& event);

}  // namespace platform::x11

#include "platform/x11/X11DialogWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

#include "platform/NativeWindow.h"
#include "platform/x11/X11Connection.h"

namespace platform::x11 {

Window createDialogWindow(Display* display, const std::string& title, int width, int height,
                          Window transientFor, long eventMask) {
    ErrorTrap trap;
    int screen = DefaultScreen(display);
    int screenWidth = DisplayWidth(display, screen), screenHeight = DisplayHeight(display, screen);
    Rect over{0, 0, screenWidth, screenHeight};
    if (transientFor && !windowScreenRect(transientFor, over)) transientFor = 0;
    int x = std::clamp(over.left + (over.width() - width) / 2, 0,
                       std::max(0, screenWidth - width));
    int y = std::clamp(over.top + (over.height() - height) / 2, 0,
                       std::max(0, screenHeight - height));
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                                        unsigned(width), unsigned(height), 0, 0,
                                        WhitePixel(display, screen));
    if (trap.failed() || !window) return 0;
    XStoreName(display, window, title.c_str());
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(display, window, &hints);
    if (transientFor) XSetTransientForHint(display, window, transientFor);
    Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, eventMask);
    return window;
}

bool isCloseRequest(Display* display, const XEvent& event) {
    return event.type == ClientMessage && event.xclient.format == 32 &&
           event.xclient.message_type == XInternAtom(display, "WM_PROTOCOLS", False) &&
           Atom(event.xclient.data.l[0]) == XInternAtom(display, "WM_DELETE_WINDOW", False);
}

}  // namespace platform::x11

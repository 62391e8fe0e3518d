#include "platform/x11/X11TopLevel.h"

#include "platform/x11/X11Connection.h"

namespace platform::x11 {

namespace {

bool hasProperty(Display* display, Window window, Atom property) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &type,
                           &format, &items, &remaining, &data) != Success)
        return false;
    if (data) XFree(data);
    return type != 0;
}

}  // namespace

Window topLevelOf(Display* display, Window window) {
    if (!display || !window) return 0;
    ErrorTrap trap;
    // Only a window manager sets WM_STATE: without the atom, no window carries it.
    Atom wmState = XInternAtom(display, "WM_STATE", True);
    // Window trees are shallow; the bound only guards against a tree changing under us.
    for (int depth = 0; depth < 64; ++depth) {
        if (wmState && hasProperty(display, window, wmState)) return window;
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        if (parent == root || parent == 0) return window;
        window = parent;
    }
    return 0;
}

}  // namespace platform::x11

#include "platform/x11/X11TopLevel.h"

#include "platform/x11/X11Connection.h"

namespace platform::x11 {

Window topLevelOf(Display* display, Window window) {
    if (!display || !window) return 0;
    ErrorTrap trap;
    // Window trees are shallow; the bound only guards against a tree changing under us.
    for (int depth = 0; depth < 64; ++depth) {
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

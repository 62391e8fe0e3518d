// The live pointer state comes from the server: X already reports buttons through the
// user's pointer mapping, so a left-handed mapping needs no swapping here.
#include "platform/PointerState.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keys.h"

namespace platform {

namespace {

bool queryPointer(Point& where, unsigned int& mask) {
    Display* display = x11::currentDisplay();
    if (!display) return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY,
                       &windowX, &windowY, &mask))
        return false;
    where = Point{rootX, rootY};
    return true;
}

}  // namespace

int queryPointerButtons() {
    Point where{};
    unsigned int mask = 0;
    return queryPointer(where, mask) ? x11::modifierBits(mask) : 0;
}

bool queryPointerScreenPosition(Point& where) {
    unsigned int mask = 0;
    return queryPointer(where, mask);
}

// X has no desktop-wide setting for it; this is the usual default of the desktops.
int doubleClickMilliseconds() { return 500; }

}  // namespace platform

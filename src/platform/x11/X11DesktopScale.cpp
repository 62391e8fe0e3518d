// The desktop's factor on X11, read fresh from the server each time: the resource string on
// the root window and the XSETTINGS manager's property.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

#include "platform/DisplayScale.h"
#include "platform/common/DesktopScale.h"
#include "platform/x11/X11Connection.h"

namespace platform {

namespace {

// A window property's bytes (8-bit or 32-bit items as the server sends them); empty when
// the window or property is missing.
std::string propertyBytes(Display* display, Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    x11::ErrorTrap trap;
    if (XGetWindowProperty(display, window, property, 0, 1 << 20, False, type, &actualType,
                           &format, &items, &remaining, &data) != Success ||
        trap.failed() || !data) {
        if (data) XFree(data);
        return {};
    }
    std::string bytes;
    if (format == 8) bytes.assign(reinterpret_cast<const char*>(data), items);
    XFree(data);
    return bytes;
}

double factorOf(Display* display, int screen) {
    Window root = RootWindow(display, screen);
    std::string resources =
        propertyBytes(display, root, XInternAtom(display, "RESOURCE_MANAGER", False), XA_STRING);
    XSettingsScale settings;
    std::string selection = "_XSETTINGS_S" + std::to_string(screen);
    Window manager = XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False));
    if (manager) {
        Atom property = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
        std::string blob = propertyBytes(display, manager, property, property);
        settings = readXSettings(reinterpret_cast<const unsigned char*>(blob.data()), blob.size());
    }
    return x11DesktopFactor(xftDpiOf(resources), settings);
}

}  // namespace

double desktopScaleFactor(WindowHandle parent) {
    // Before an editor opens (a host asking for its size) there may be no connection yet:
    // a short one answers.
    if (Display* display = x11::currentDisplay()) {
        int screen = DefaultScreen(display);
        if (parent) {
            x11::ErrorTrap trap;
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, Window(parent), &attributes) && !trap.failed())
                screen = XScreenNumberOfScreen(attributes.screen);
        }
        return factorOf(display, screen);
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1.0;
    double factor = factorOf(display, DefaultScreen(display));
    XCloseDisplay(display);
    return factor;
}

}  // namespace platform

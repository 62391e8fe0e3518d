// What tests of an embedded editor look at from outside: the windows on the display
// (through a connection of the test's own) and the process's open file descriptors.
#pragma once

// GoogleTest before Xlib in every includer: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xlib.h>
#include <dirent.h>

namespace desk {

// The direct children of window; -1 when the window does not exist.
inline int childWindowCount(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XSync(display, False);
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return -1;
    if (children) XFree(children);
    return static_cast<int>(count);
}

// Override-redirect windows shown on the screen: our open popup menus.
inline int openMenuCount(Display* display) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XSync(display, False);
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    int menus = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.override_redirect && attributes.map_state == IsViewable)
            ++menus;
    }
    if (children) XFree(children);
    return menus;
}

// Connections, files and pipes this process holds open.
inline int openFileDescriptors() {
    int count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder)) ++count;
        closedir(folder);
    }
    return count;
}

}  // namespace desk

// The standalone host's top-level window, on a connection of its own as a real host's.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include "platform/HostWindow.h"

namespace platform {

namespace {

int channelOf(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return int(((pixel >> shift) & mask) * 255 / mask);
}

// The window may be destroyed by others (a window manager, a test) at any moment; a
// request that meets it gone is harmless. Errors of other connections go on as before.
Display* hostDisplay = nullptr;
XErrorHandler previousErrorHandler = nullptr;

int ignoreHostWindowErrors(Display* display, XErrorEvent* error) {
    if (display == hostDisplay) return 0;
    return previousErrorHandler ? previousErrorHandler(display, error) : 0;
}

class X11HostWindow : public HostWindow {
public:
    X11HostWindow(Display* display, Window window, Atom deleteWindow)
        : display(display), window(window), deleteWindow(deleteWindow) {}
    ~X11HostWindow() override {
        if (!destroyed) XDestroyWindow(display, window);
        XSync(display, False);
        if (hostDisplay == display) hostDisplay = nullptr;
        XCloseDisplay(display);
    }

    WindowHandle handle() const override { return window; }

    void resize(int width, int height) override {
        if (width <= 0 || height <= 0) return;
        XResizeWindow(display, window, unsigned(width), unsigned(height));
        XFlush(display);
    }

    void setTitle(const std::string& title) override {
        XStoreName(display, window, title.c_str());
        XFlush(display);
    }

    void sync() override { XSync(display, False); }

    bool processEvents() override {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteWindow)
                closed = true;
            if (event.type == DestroyNotify && event.xdestroywindow.window == window)
                closed = destroyed = true;
        }
        return !closed;
    }

    bool saveScreenshot(const std::string& path) override {
        XSync(display, False);
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, window, &attributes)) return false;
        XImage* image = XGetImage(display, window, 0, 0, unsigned(attributes.width),
                                  unsigned(attributes.height), AllPlanes, ZPixmap);
        if (!image) return false;
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, attributes.width, attributes.height);
        unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < attributes.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
            for (int x = 0; x < attributes.width; ++x) {
                unsigned long pixel = XGetPixel(image, x, y);
                row[x] = (uint32_t(channelOf(pixel, image->red_mask)) << 16) |
                         (uint32_t(channelOf(pixel, image->green_mask)) << 8) |
                         uint32_t(channelOf(pixel, image->blue_mask));
            }
        }
        XDestroyImage(image);
        cairo_surface_mark_dirty(surface);
        bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
        return written;
    }

private:
    Display* display;
    Window window;
    Atom deleteWindow;
    bool closed = false;
    bool destroyed = false;  // by someone else
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::create(const std::string& title, int width, int height,
                                               std::string& error, int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return nullptr;
    }
    if (!hostDisplay) {
        hostDisplay = display;
        XErrorHandler previous = XSetErrorHandler(ignoreHostWindowErrors);
        if (previous != ignoreHostWindowErrors) previousErrorHandler = previous;
    }
    int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                                        unsigned(width > 0 ? width : 1),
                                        unsigned(height > 0 ? height : 1), 0, 0,
                                        BlackPixel(display, screen));
    XStoreName(display, window, title.c_str());
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    // Wait until the window is on screen, so that the editor opens into a mapped parent.
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.window == window) break;
    }
    return std::make_unique<X11HostWindow>(display, window, deleteWindow);
}

}  // namespace platform

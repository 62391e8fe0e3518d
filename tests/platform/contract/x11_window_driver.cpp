// GoogleTest before Xlib: Xlib's macros clash with its names.
#include "contract/WindowContract.h"

#include <X11/Xlib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/PointerState.h"
#include "support/XvfbServer.h"

namespace {

// Drives our windows from a second client, as the server and other programs would.
class X11Driver : public WindowDriver {
public:
    X11Driver() {
        static XvfbServer server;  // one for the program, stopped when it exits
        static bool started = false;
        if (!started) {
            std::string error;
            started = server.start(error);
            if (!started) ADD_FAILURE() << error;
        }
        other = XOpenDisplay(nullptr);
    }
    ~X11Driver() override {
        if (other) XCloseDisplay(other);
    }

    platform::WindowHandle makeParent(int width, int height) override {
        if (!other) return 0;
        parent = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, unsigned(width),
                                     unsigned(height), 0, 0, 0);
        XMapWindow(other, parent);
        XSync(other, False);
        return parent;
    }
    void expose(platform::WindowHandle child, const platform::Rect& area) override {
        XEvent event{};
        event.xexpose.type = Expose;
        event.xexpose.window = Window(child);
        event.xexpose.x = area.left;
        event.xexpose.y = area.top;
        event.xexpose.width = area.width();
        event.xexpose.height = area.height();
        XSendEvent(other, Window(child), False, ExposureMask, &event);
        XFlush(other);
    }
    void press(platform::WindowHandle child, platform::Point where, int buttons) override {
        XEvent event{};
        event.xbutton.type = ButtonPress;
        event.xbutton.window = Window(child);
        event.xbutton.x = where.x;
        event.xbutton.y = where.y;
        event.xbutton.button = (buttons & platform::kPointerRight) ? Button3 : Button1;
        if (buttons & platform::kPointerShift) event.xbutton.state |= ShiftMask;
        if (buttons & platform::kPointerControl) event.xbutton.state |= ControlMask;
        XSendEvent(other, Window(child), False, ButtonPressMask, &event);
        XFlush(other);
    }
    void destroyParent() override {
        XDestroyWindow(other, parent);
        XSync(other, False);
    }
    void settle() override {
        XSync(other, False);
        // The server has sent them; give our connection's socket a moment to hold them all.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

private:
    Display* other = nullptr;
    Window parent = 0;
};

}  // namespace

std::unique_ptr<WindowDriver> makeWindowDriver() { return std::make_unique<X11Driver>(); }

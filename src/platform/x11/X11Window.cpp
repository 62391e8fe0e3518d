// Our child window inside the host's window, and the event pump that serves it on the
// host's user-interface thread.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/NativeWindow.h"
#include "platform/PointerState.h"
#include "platform/cairo/CairoCanvas.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keys.h"

namespace platform {

namespace {

using x11::ErrorTrap;

int buttonBit(unsigned int button) {
    switch (button) {
        case Button1: return kPointerLeft;
        case Button2: return kPointerMiddle;
        case Button3: return kPointerRight;
        default: return 0;
    }
}

// Hosts that route events through this window property call it with each event of ours.
void deliverEvent(XEvent* event) {
    Display* display = x11::currentDisplay();
    if (!event || !display) return;
    ErrorTrap trap;
    if (event->type == ButtonPress && x11::pressSwallowed(*event)) return;
    if (x11::EventTarget* target = x11::findTarget(event->xany.window))
        target->handleEvent(*event, false);
}

class X11Window : public NativeWindow, public x11::EventTarget {
public:
    X11Window(Display* display, Window window, WindowListener& listener)
        : display(display), window(window), listener(listener) {
        x11::registerTarget(window, this);
    }

    ~X11Window() override {
        // What belongs to the window (message boxes) goes first.
        x11::announceWindowClosing(window);
        x11::unregisterTarget(window);
        {
            ErrorTrap trap;
            if (alive) {
                XUndefineCursor(display, window);
                XDestroyWindow(display, window);
            }
            if (cursor) XFreeCursor(display, cursor);
        }
        x11::releaseDisplay();
    }

    WindowHandle handle() const override { return window; }
    bool exists() const override { return alive; }

    void resize(int newWidth, int newHeight) override {
        if (!alive || newWidth <= 0 || newHeight <= 0) return;
        width = newWidth;
        height = newHeight;
        ErrorTrap trap;
        XResizeWindow(display, window, unsigned(deviceWidth()), unsigned(deviceHeight()));
    }

    double scale() const override { return drawScale; }
    double drawingScale() const override { return drawScale; }

    void setScale(double newScale) override {
        if (!(newScale > 0.0) || newScale == drawScale) return;
        drawScale = newScale;
        if (!alive) return;
        ErrorTrap trap;
        XResizeWindow(display, window, unsigned(deviceWidth()), unsigned(deviceHeight()));
        // Everything is drawn anew at the new scale.
        damage = unite(damage, Rect{0, 0, width, height});
    }

    Point screenOrigin() const override {
        Point origin{0, 0};
        if (!alive) return origin;
        ErrorTrap trap;
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &origin.x,
                              &origin.y, &child);
        return origin;
    }

    std::unique_ptr<Canvas> createCanvas() override {
        if (!alive || !visual)
            return Canvas::createImage(std::max(1, width), std::max(1, height), drawScale);
        // Size and visual are known here: asking the server would cost two round trips
        // for every paint.
        cairo_surface_t* surface = cairo_xlib_surface_create(display, window, visual,
                                                             deviceWidth(), deviceHeight());
        return canvasOnSurface(surface, width, height, drawScale);
    }

    void setCursor(CursorStyle shape) override {
        if (!alive) return;
        ErrorTrap trap;
        if (cursor) {
            XFreeCursor(display, cursor);
            cursor = 0;
        }
        unsigned int font = fontCursorOf(shape);
        if (font == kNoFontCursor) {
            XUndefineCursor(display, window);
            return;
        }
        cursor = XCreateFontCursor(display, font);
        XDefineCursor(display, window, cursor);
    }

    void handleEvent(const XEvent& event, bool merge) override {
        switch (event.type) {
            case Expose: {
                const XExposeEvent& expose = event.xexpose;
                Rect rect{expose.x, expose.y, expose.x + expose.width, expose.y + expose.height};
                damage = unite(damage, coveringLogical(rect, drawScale));
                if (!merge) paintDamage();
                break;
            }
            case ButtonPress: {
                const XButtonEvent& press = event.xbutton;
                Point where = toLogical(Point{press.x, press.y}, drawScale);
                if (press.button >= 4 && press.button <= 7) {
                    // 4 and 6 turn away from the user (up, left), 5 and 7 towards.
                    float distance = (press.button == 4 || press.button == 6) ? 1.0f : -1.0f;
                    listener.wheelTurned(where, distance);
                    break;
                }
                int buttons = buttonBit(press.button);
                if (buttons == 0) break;
                buttons |= x11::modifierBits(press.state) &
                           (kPointerShift | kPointerControl | kPointerAlt);
                listener.buttonPressed(where, buttons);
                break;
            }
            case KeyPress:
            case KeyRelease: {
                XKeyEvent key = event.xkey;
                Key code = x11::keyOf(key);
                if (event.type == KeyPress)
                    listener.keyPressed(code);
                else
                    listener.keyReleased(code);
                break;
            }
            case ClientMessage:
            case SelectionNotify:
                x11::dispatchClientMessage(event);
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == window && alive) {
                    alive = false;
                    listener.windowDestroyed();
                }
                break;
            default:
                break;
        }
    }

    void paintDamage() override {
        if (damage.empty()) return;
        Rect rect = damage;
        damage = Rect{0, 0, 0, 0};
        if (alive) listener.windowExposed(rect);
    }

private:
    static constexpr unsigned int kNoFontCursor = ~0u;

    int deviceWidth() const { return std::max(1, toDevice(width, drawScale)); }
    int deviceHeight() const { return std::max(1, toDevice(height, drawScale)); }

    static unsigned int fontCursorOf(CursorStyle shape) {
        switch (shape) {
            case CursorStyle::Wait: return XC_watch;
            case CursorStyle::SizeHorizontal: return XC_sb_h_double_arrow;
            case CursorStyle::SizeVertical: return XC_sb_v_double_arrow;
            case CursorStyle::SizeAll: return XC_fleur;
            case CursorStyle::SizeNortheastSouthwest: return XC_bottom_left_corner;
            case CursorStyle::SizeNorthwestSoutheast: return XC_bottom_right_corner;
            case CursorStyle::NotAllowed: return XC_X_cursor;
            case CursorStyle::Hand: return XC_hand2;
            default: return kNoFontCursor;
        }
    }

public:
    Display* display;
    Window window;
    WindowListener& listener;
    int width = 0;  // logical
    int height = 0;
    double drawScale = 1.0;
    Visual* visual = nullptr;
    Cursor cursor = 0;
    Rect damage{0, 0, 0, 0};
    bool alive = true;
};

void publishEventProc(Display* display, Window window) {
    // A 64-bit address travels as two 32-bit items, low half first.
    auto address = reinterpret_cast<uintptr_t>(&deliverEvent);
    long halves[2] = {long(address & 0xFFFFFFFFu), long((uint64_t(address) >> 32) & 0xFFFFFFFFu)};
    Atom property = XInternAtom(display, "_XEventProc", False);
    XChangeProperty(display, window, property, property, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(halves), 2);
}

}  // namespace

std::unique_ptr<NativeWindow> NativeWindow::createChild(WindowHandle parent, int width, int height,
                                                        WindowListener& listener, double scale) {
    if (parent == 0 || width <= 0 || height <= 0 || !(scale > 0.0)) return nullptr;
    Display* display = x11::acquireDisplay();
    if (!display) return nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    {
        ErrorTrap trap;
        XWindowAttributes parentAttributes{};
        bool parentExists = XGetWindowAttributes(display, Window(parent), &parentAttributes);
        if (parentExists && !trap.failed()) {
            XSetWindowAttributes attributes{};
            attributes.event_mask =
                ExposureMask | ButtonPressMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask;
            attributes.background_pixmap = None;
            window = XCreateWindow(display, Window(parent), 0, 0,
                                   unsigned(std::max(1, toDevice(width, scale))),
                                   unsigned(std::max(1, toDevice(height, scale))), 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
            if (trap.failed()) window = 0;
            // Created with the parent's visual (CopyFromParent).
            visual = parentAttributes.visual;
        }
        if (window) {
            publishEventProc(display, window);
            XMapWindow(display, window);
            XFlush(display);
        }
    }
    if (!window) {
        x11::releaseDisplay();
        return nullptr;
    }
    auto created = std::make_unique<X11Window>(display, window, listener);
    created->width = width;
    created->height = height;
    created->drawScale = scale;
    created->visual = visual;
    return created;
}

bool windowScreenRect(WindowHandle window, Rect& rect) {
    Display* display = x11::currentDisplay();
    if (!display || !window) return false;
    ErrorTrap trap;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, Window(window), &attributes) || trap.failed()) return false;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, Window(window), attributes.root, 0, 0, &x, &y, &child);
    rect = Rect{x, y, x + attributes.width, y + attributes.height};
    return true;
}

WindowHandle parentWindow(WindowHandle window) {
    Display* display = x11::currentDisplay();
    if (!display || !window) return 0;
    ErrorTrap trap;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, Window(window), &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    return parent == root ? 0 : parent;
}

bool isTopLevelWindow(WindowHandle window) {
    Display* display = x11::currentDisplay();
    if (!display || !window) return false;
    ErrorTrap trap;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, Window(window), &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    return parent == root;
}

void resizeWindow(WindowHandle window, int width, int height) {
    Display* display = x11::currentDisplay();
    if (!display || !window || width <= 0 || height <= 0) return;
    ErrorTrap trap;
    XResizeWindow(display, Window(window), unsigned(width), unsigned(height));
}

struct DrawingOutsidePass::Impl {
    ErrorTrap trap{false};
};

DrawingOutsidePass::DrawingOutsidePass()
    : impl(x11::currentDisplay() ? std::make_unique<Impl>() : nullptr) {}
DrawingOutsidePass::~DrawingOutsidePass() = default;

void processPendingEvents() {
    Display* display = x11::currentDisplay();
    if (!display) return;
    unsigned long generation = x11::connectionGeneration();
    ErrorTrap trap;
    std::vector<Window> touched;
    // A handled press may run a control's whole drag, inside which the host can close the
    // last editor and with it the connection: look again before each read.
    while (x11::stillConnected(display, generation) && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        // An open menu takes a press anywhere first.
        if (event.type == ButtonPress && x11::pressSwallowed(event)) continue;
        if (!x11::stillConnected(display, generation)) return;
        x11::EventTarget* target = x11::findTarget(event.xany.window);
        if (!target) continue;
        target->handleEvent(event, true);
        if (event.type == Expose) touched.push_back(event.xany.window);
    }
    // Each damaged window paints once, after the queue is empty.
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    if (!x11::stillConnected(display, generation)) return;
    for (Window window : touched)
        if (x11::EventTarget* target = x11::findTarget(window)) target->paintDamage();
    // Menus, dialogs and message boxes finish here, and helpers are looked at.
    if (x11::stillConnected(display, generation)) x11::endPass();
    if (x11::stillConnected(display, generation)) XFlush(display);
}

void flushDrawing() {
    if (Display* display = x11::currentDisplay()) XFlush(display);
}

int eventDescriptor() {
    Display* display = x11::currentDisplay();
    return display ? ConnectionNumber(display) : -1;
}

bool dispatchOnePendingPaint() {
    Display* display = x11::currentDisplay();
    if (!display) return false;
    ErrorTrap trap;
    XEvent event;
    if (!XCheckTypedEvent(display, Expose, &event)) return false;
    unsigned long generation = x11::connectionGeneration();
    if (x11::EventTarget* target = x11::findTarget(event.xany.window))
        target->handleEvent(event, false);
    if (x11::stillConnected(display, generation)) XFlush(display);
    return true;
}

}  // namespace platform

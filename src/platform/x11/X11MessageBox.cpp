// Message boxes as windows of ours on the editors' shared connection, served by the same
// event passes as the editor: showing one never waits, since the host may hold a lock
// while it calls us. Without a window of ours open nobody would serve a box, so the
// message goes to stderr and is never lost.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/DeviceScale.h"
#include "platform/MessageBox.h"
#include "platform/common/Latin1.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11DialogWindow.h"
#include "platform/x11/X11TopLevel.h"

namespace platform {

namespace {

using x11::ErrorTrap;

constexpr int kPadding = 16;
constexpr int kLineHeight = 18;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

// Lines as cairo takes them: our texts are Latin-1, cairo reads UTF-8.
std::vector<std::string> linesOf(const char* text) {
    std::vector<std::string> lines(1);
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == '\n')
            lines.emplace_back();
        else
            lines.back() += *c;
    }
    for (std::string& line : lines) line = latin1ToUtf8(line);
    return lines;
}

const char* iconWord(MessageBoxIcon icon) {
    switch (icon) {
        case MessageBoxIcon::Error: return "error";
        case MessageBoxIcon::Warning: return "warning";
        default: return "information";
    }
}

struct Layout {
    int width;
    int height;
    int buttonLeft;
    int buttonTop;
};

void selectFont(cairo_t* cr) {
    cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);
}

Layout layOut(const std::vector<std::string>& lines) {
    cairo_surface_t* measure = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(measure);
    selectFont(cr);
    double widest = 0;
    for (const std::string& line : lines) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, line.c_str(), &extents);
        widest = std::max(widest, extents.x_advance);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(measure);
    Layout layout{};
    layout.width = std::max(280, int(widest) + 2 * kPadding);
    layout.height = kPadding + int(lines.size()) * kLineHeight + kPadding + kButtonHeight + kPadding;
    layout.buttonLeft = (layout.width - kButtonWidth) / 2;
    layout.buttonTop = layout.height - kPadding - kButtonHeight;
    return layout;
}

void paint(cairo_t* cr, const Layout& layout, const std::vector<std::string>& lines) {
    cairo_set_source_rgb(cr, 0.93, 0.93, 0.92);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    for (size_t i = 0; i < lines.size(); ++i) {
        cairo_move_to(cr, kPadding, kPadding + 13 + double(i) * kLineHeight);
        cairo_show_text(cr, lines[i].c_str());
    }
    cairo_rectangle(cr, layout.buttonLeft + 0.5, layout.buttonTop + 0.5, kButtonWidth - 1,
                    kButtonHeight - 1);
    cairo_set_source_rgb(cr, 0.98, 0.98, 0.97);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_text_extents_t ok;
    cairo_text_extents(cr, "OK", &ok);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, layout.buttonLeft + (kButtonWidth - ok.x_advance) / 2,
                  layout.buttonTop + 17);
    cairo_show_text(cr, "OK");
    cairo_surface_flush(cairo_get_target(cr));
}

bool insideButton(const Layout& layout, int x, int y) {
    return x >= layout.buttonLeft && x < layout.buttonLeft + kButtonWidth &&
           y >= layout.buttonTop && y < layout.buttonTop + kButtonHeight;
}

class MessageBoxWindow : public x11::EventTarget {
public:
    MessageBoxWindow(Display* display, WindowHandle owner, const char* title,
                     std::vector<std::string> utf8Lines)
        : owner(owner), display(display), lines(std::move(utf8Lines)), layout(layOut(lines)),
          scale(x11::scaleOfWindow(Window(owner))) {
        ErrorTrap trap;
        // Over the host's window it belongs to, else over the screen.
        Window topLevel = owner ? x11::topLevelOf(display, Window(owner)) : 0;
        window = x11::createDialogWindow(
            display, title ? title : "", toDevice(layout.width, scale),
            toDevice(layout.height, scale), topLevel,
            ExposureMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask);
        if (!window) {
            alive = false;
            done = true;  // gone at the end of the pass, with nothing shown
            return;
        }
        int screen = DefaultScreen(display);
        surface = cairo_xlib_surface_create(display, window, DefaultVisual(display, screen),
                                            toDevice(layout.width, scale),
                                            toDevice(layout.height, scale));
        // Laid out in logical pixels, drawn at the scale of the editor it belongs to.
        cairo_surface_set_device_scale(surface, scale, scale);
        cr = cairo_create(surface);
        selectFont(cr);
        x11::registerTarget(window, this);
        XMapRaised(display, window);
        XFlush(display);
    }

    ~MessageBoxWindow() override {
        x11::unregisterTarget(window);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        ErrorTrap trap;
        if (alive) XDestroyWindow(display, window);
        XFlush(display);
    }

    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

    // Only notes what happened: the box is destroyed at the end of the pass.
    void handleEvent(const XEvent& event, bool merge) override {
        switch (event.type) {
            case Expose:
                damaged = true;
                if (!merge && event.xexpose.count == 0) paintDamage();
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 &&
                    insideButton(layout, toLogical(event.xbutton.x, scale),
                                 toLogical(event.xbutton.y, scale)))
                    done = true;
                break;
            case KeyPress: {
                XKeyEvent key = event.xkey;
                KeySym symbol = XLookupKeysym(&key, 0);
                if (symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_Escape ||
                    symbol == XK_space)
                    done = true;
                break;
            }
            case ClientMessage:
                if (x11::isCloseRequest(display, event)) done = true;
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == window) {
                    alive = false;
                    done = true;
                }
                break;
            default:
                break;
        }
    }

    void paintDamage() override {
        if (!damaged || !alive || done) return;
        damaged = false;
        paint(cr, layout, lines);
    }

    // A host may hide the editor's window without closing the editor: the box leaves the
    // screen with it and comes back above it, so that the message is still there to be
    // read, and not behind the host's window, when the user returns to the editor.
    void followOwner() {
        if (!owner || !alive || done) return;
        ErrorTrap trap;
        XWindowAttributes attributes{};
        const bool shown = XGetWindowAttributes(display, Window(owner), &attributes) &&
                           attributes.map_state == IsViewable;
        if (!shown && !hiddenWithOwner) {
            XWithdrawWindow(display, window, DefaultScreen(display));
            hiddenWithOwner = true;
        } else if (shown && hiddenWithOwner) {
            XMapRaised(display, window);
            hiddenWithOwner = false;
        }
        XFlush(display);
    }

    const WindowHandle owner;
    bool done = false;

private:
    Display* display;
    std::vector<std::string> lines;
    Layout layout;
    double scale;
    Window window = 0;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    bool damaged = false;
    bool alive = true;
    bool hiddenWithOwner = false;
};

// Every open box of the process. Boxes end at a pass's end (never inside their own
// handler), with the window they belong to, and all of them with the connection.
class OpenBoxes : public x11::PassWatcher {
public:
    ~OpenBoxes() override { closeWhere([](const MessageBoxWindow&) { return true; }); }

    void open(std::unique_ptr<MessageBoxWindow> box) {
        boxes.push_back(std::move(box));
        // The connection forgets its watchers when it closes: sign up with every box.
        x11::addPassWatcher(this);
    }

    void passEnded() override {
        closeWhere([](const MessageBoxWindow& box) { return box.done; });
        for (const auto& box : boxes) box->followOwner();
    }
    void windowClosing(Window window) override {
        closeWhere([window](const MessageBoxWindow& box) { return box.owner == window; });
    }
    void connectionClosing() override {
        closeWhere([](const MessageBoxWindow&) { return true; });
    }

private:
    template <typename Closes>
    void closeWhere(Closes closes) {
        if (boxes.empty()) return;
        auto closing = std::stable_partition(
            boxes.begin(), boxes.end(),
            [&](const std::unique_ptr<MessageBoxWindow>& box) { return !closes(*box); });
        boxes.erase(closing, boxes.end());
        if (boxes.empty()) x11::removePassWatcher(this);
    }

    std::vector<std::unique_ptr<MessageBoxWindow>> boxes;
};

OpenBoxes& openBoxes() {
    static OpenBoxes instance;
    return instance;
}

}  // namespace

void showMessageBox(const char* title, const char* text, MessageBoxIcon icon) {
    // Not acquired: a box must not keep the connection open after the last editor.
    Display* display = x11::currentDisplay();
    if (!display) {
        std::fprintf(stderr, "%s (%s): %s\n", title ? title : "", iconWord(icon), text ? text : "");
        return;
    }
    openBoxes().open(std::make_unique<MessageBoxWindow>(display, MessageBoxOwner::current(),
                                                        title, linesOf(text)));
}

}  // namespace platform

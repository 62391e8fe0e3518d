// A small modal window of our own on its own display connection; without a display the
// message goes to stderr so that it is never lost.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace platform {

namespace {

constexpr int kPadding = 16;
constexpr int kLineHeight = 18;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

std::vector<std::string> linesOf(const char* text) {
    std::vector<std::string> lines(1);
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == '\n')
            lines.emplace_back();
        else
            lines.back() += *c;
    }
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

Layout layOut(cairo_t* cr, const std::vector<std::string>& lines) {
    double widest = 0;
    for (const std::string& line : lines) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, line.c_str(), &extents);
        widest = std::max(widest, extents.x_advance);
    }
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

void runBox(Display* display, const char* title, const std::vector<std::string>& lines) {
    int screen = DefaultScreen(display);
    cairo_surface_t* measure = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* measuring = cairo_create(measure);
    cairo_select_font_face(measuring, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(measuring, 13);
    Layout layout = layOut(measuring, lines);
    cairo_destroy(measuring);
    cairo_surface_destroy(measure);

    int x = (DisplayWidth(display, screen) - layout.width) / 2;
    int y = (DisplayHeight(display, screen) - layout.height) / 2;
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                                        unsigned(layout.width), unsigned(layout.height), 0, 0,
                                        WhitePixel(display, screen));
    XStoreName(display, window, title ? title : "");
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = layout.width;
    hints.min_height = hints.max_height = layout.height;
    XSetWMNormalHints(display, window, &hints);
    Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, ExposureMask | ButtonReleaseMask | KeyPressMask);
    XMapRaised(display, window);

    cairo_surface_t* surface = cairo_xlib_surface_create(
        display, window, DefaultVisual(display, screen), layout.width, layout.height);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 13);

    for (bool open = true; open;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) paint(cr, layout, lines);
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 &&
                    insideButton(layout, event.xbutton.x, event.xbutton.y))
                    open = false;
                break;
            case KeyPress: {
                KeySym symbol = XLookupKeysym(&event.xkey, 0);
                if (symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_Escape ||
                    symbol == XK_space)
                    open = false;
                break;
            }
            case ClientMessage:
                if (Atom(event.xclient.data.l[0]) == deleteWindow) open = false;
                break;
            default:
                break;
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    XDestroyWindow(display, window);
    XSync(display, False);
}

}  // namespace

void showMessageBox(const char* title, const char* text, MessageBoxIcon icon) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s (%s): %s\n", title ? title : "", iconWord(icon), text ? text : "");
        return;
    }
    runBox(display, title, linesOf(text));
    XCloseDisplay(display);
}

}  // namespace platform

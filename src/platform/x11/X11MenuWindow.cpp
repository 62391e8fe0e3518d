#include "platform/x11/X11MenuWindow.h"

#include <X11/Xatom.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cmath>

#include "platform/cairo/CairoCanvas.h"
#include "platform/cairo/CairoText.h"

namespace platform::x11 {

namespace {

MenuLayout measure(const std::vector<MenuItem>& items, const FontSpec& font, double scale) {
    auto measuring = Canvas::createImage(1, 1);
    if (!measuring) return MenuLayout{};
    MenuMetrics metrics = menuMetrics(fontMetrics(*measuring, font).height, scale);
    return layOutMenu(items, metrics, [&](const std::string& label) {
        return textAdvance(*measuring, font, label);
    });
}

// A rectangle given in unscaled pixels around (cx, cy), in device pixels at scale.
Rect around(int cx, int cy, double scale, int left, int top, int right, int bottom) {
    auto at = [scale](int pixels) { return int(std::lround(pixels * scale)); };
    return Rect{cx + at(left), cy + at(top), cx + at(right), cy + at(bottom)};
}

void drawCheckMark(Canvas& canvas, const Rect& gutter, Color color, double scale) {
    int cx = (gutter.left + gutter.right) / 2;
    int cy = (gutter.top + gutter.bottom) / 2;
    // Two strokes, two pixels thick, drawn as pixel columns so that they stay crisp.
    for (int k = 0; k < 3; ++k)
        canvas.fillRect(around(cx, cy, scale, -4 + k, -1 + k, -3 + k, 1 + k), color);
    for (int k = 0; k < 6; ++k)
        canvas.fillRect(around(cx, cy, scale, -1 + k, 1 - k, k, 3 - k), color);
}

void drawArrow(Canvas& canvas, const Rect& gutter, Color color, double scale) {
    int cx = (gutter.left + gutter.right) / 2;
    int cy = (gutter.top + gutter.bottom) / 2;
    for (int k = 0; k < 4; ++k)
        canvas.fillRect(around(cx, cy, scale, -2 + k, -3 + k, -1 + k, 4 - k), color);
}

}  // namespace

std::unique_ptr<MenuWindow> MenuWindow::create(Display* display, const std::vector<MenuItem>& items,
                                               const PopupMenuOptions& options,
                                               MenuEvents& events) {
    const double scale = scaleOfWindow(Window(options.owner));
    FontSpec font = options.font;
    font.pixelHeight = std::max(1, int(std::lround(font.pixelHeight * scale)));
    MenuLayout geometry = measure(items, font, scale);
    if (geometry.width <= 0 || geometry.height <= 0) return nullptr;
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | StructureNotifyMask | FocusChangeMask |
                            EnterWindowMask | LeaveWindowMask;
    Window id = XCreateWindow(display, DefaultRootWindow(display), 0, 0, unsigned(geometry.width),
                              unsigned(geometry.height), 0, CopyFromParent, InputOutput,
                              CopyFromParent,
                              CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWEventMask,
                              &attributes);
    if (!id) return nullptr;
    return std::unique_ptr<MenuWindow>(
        new MenuWindow(display, id, items, options, scale, font, std::move(geometry), events));
}

MenuWindow::MenuWindow(Display* display, Window id, const std::vector<MenuItem>& items,
                       const PopupMenuOptions& options, double scale, FontSpec font,
                       MenuLayout geometry, MenuEvents& events)
    : display(display), id(id), entries(items), options(options), scale(scale),
      font(std::move(font)), geometry(std::move(geometry)), events(events) {
    registerTarget(id, this);
}

MenuWindow::~MenuWindow() {
    unregisterTarget(id);
    canvas.reset();
    XDestroyWindow(display, id);
}

void MenuWindow::show(Point at, WindowHandle owner) {
    origin = at;
    // Compositors and window managers that look at override-redirect windows see a menu.
    Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    Atom popup = XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
    XChangeProperty(display, id, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&popup), 1);
    if (owner) XSetTransientForHint(display, id, Window(owner));
    XMoveWindow(display, id, at.x, at.y);
    XMapRaised(display, id);
    cairo_surface_t* surface = cairo_xlib_surface_create(
        display, id, DefaultVisual(display, DefaultScreen(display)), geometry.width,
        geometry.height);
    canvas = canvasOnSurface(surface, geometry.width, geometry.height);
}

Rect MenuWindow::screenRect() const {
    return Rect{origin.x, origin.y, origin.x + geometry.width, origin.y + geometry.height};
}

Rect MenuWindow::itemScreenRect(int index) const {
    Rect r = geometry.items[size_t(index)];
    return Rect{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
}

bool MenuWindow::containsScreenPoint(Point where) const {
    Rect r = screenRect();
    return where.x >= r.left && where.x < r.right && where.y >= r.top && where.y < r.bottom;
}

int MenuWindow::itemAtScreenPoint(Point where) const {
    return itemAt(geometry, Point{where.x - origin.x, where.y - origin.y});
}

void MenuWindow::setHovered(int index) {
    if (index == hoveredIndex) return;
    int previous = hoveredIndex;
    hoveredIndex = index;
    if (!canvas) return;
    if (previous >= 0) paintItem(*canvas, size_t(previous));
    if (index >= 0) paintItem(*canvas, size_t(index));
    canvas->flush();
}

void MenuWindow::handleEvent(const XEvent& event, bool merge) {
    if (event.type != Expose) {
        events.menuEvent(event);
        return;
    }
    damaged = true;
    if (!merge && event.xexpose.count == 0) paintDamage();
}

void MenuWindow::paintDamage() {
    if (!damaged) return;
    damaged = false;
    paint();
}

void MenuWindow::paint() {
    if (!canvas) return;
    Canvas& c = *canvas;
    Rect all{0, 0, geometry.width, geometry.height};
    c.fillRect(all, options.background);
    Color line = options.greyedText;
    const int t = geometry.metrics.border;
    c.fillRect(Rect{0, 0, all.right, t}, line);
    c.fillRect(Rect{0, all.bottom - t, all.right, all.bottom}, line);
    c.fillRect(Rect{0, 0, t, all.bottom}, line);
    c.fillRect(Rect{all.right - t, 0, all.right, all.bottom}, line);
    for (int x : geometry.columnLines) c.fillRect(Rect{x, t, x + t, all.bottom - t}, line);
    for (size_t i = 0; i < entries.size(); ++i) paintItem(c, i);
    c.flush();
}

void MenuWindow::paintItem(Canvas& c, size_t index) {
    const MenuItem& item = entries[index];
    const Rect& r = geometry.items[index];
    int checkWidth = geometry.metrics.checkWidth;
    int arrowWidth = geometry.metrics.arrowWidth;
    if (item.kind == MenuItemKind::Separator) {
        c.fillRect(r, options.background);
        const int t = geometry.metrics.border;
        int y = (r.top + r.bottom) / 2 - (t - 1) / 2;
        c.fillRect(Rect{r.left + 4 * t, y, r.right - 4 * t, y + t}, options.greyedText);
        return;
    }
    bool highlighted = int(index) == hoveredIndex && isSelectable(item);
    c.fillRect(r, highlighted ? options.highlight : options.background);
    Color ink = highlighted ? options.highlightText
                : item.kind == MenuItemKind::Greyed ? options.greyedText
                                                    : options.text;
    Rect check{r.left, r.top, r.left + checkWidth, r.bottom};
    if (item.checked) drawCheckMark(c, check, ink, scale);
    Rect label{check.right, r.top, r.right - arrowWidth, r.bottom};
    c.setFont(font);
    c.drawText(item.label.c_str(), label, ink, TextAlign::Left, nullptr);
    if (item.kind == MenuItemKind::Submenu)
        drawArrow(c, Rect{r.right - arrowWidth, r.top, r.right, r.bottom}, ink, scale);
}

}  // namespace platform::x11

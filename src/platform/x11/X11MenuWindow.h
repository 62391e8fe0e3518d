// One open level of a popup menu: an override-redirect window that draws its entries and
// hands its events to the menu's loop. It is registered in the connection table, so the
// events reach the loop whoever takes them from the queue (the pump included).
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <vector>

#include "platform/Canvas.h"
#include "platform/PopupMenu.h"
#include "platform/x11/MenuLayout.h"
#include "platform/x11/X11Connection.h"

namespace platform::x11 {

class MenuEvents {
public:
    virtual ~MenuEvents() = default;
    // Every event of a menu window but its paints.
    virtual void menuEvent(const XEvent& event) = 0;
};

class MenuWindow : public EventTarget {
public:
    // A window sized for items, not yet shown; null when it cannot be made.
    static std::unique_ptr<MenuWindow> create(Display* display, const std::vector<MenuItem>& items,
                                              const PopupMenuOptions& options, MenuEvents& events);
    ~MenuWindow() override;
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    // Maps the window with its top-left corner at a screen position, above everything.
    void show(Point at, WindowHandle owner);

    Window window() const { return id; }
    const std::vector<MenuItem>& items() const { return entries; }
    const MenuLayout& layout() const { return geometry; }
    Rect screenRect() const;
    Rect itemScreenRect(int index) const;
    bool containsScreenPoint(Point where) const;
    int itemAtScreenPoint(Point where) const;

    int hovered() const { return hoveredIndex; }
    // Marks one entry (or none with -1) and repaints when that changes it.
    void setHovered(int index);

    void handleEvent(const XEvent& event, bool merge) override;
    void paintDamage() override;

private:
    MenuWindow(Display* display, Window id, const std::vector<MenuItem>& items,
               const PopupMenuOptions& options, double scale, FontSpec font, MenuLayout geometry,
               MenuEvents& events);
    void paint();
    void paintItem(Canvas& canvas, size_t index);

    Display* display;
    Window id;
    const std::vector<MenuItem>& entries;
    const PopupMenuOptions& options;
    // The menu is laid out and drawn in device pixels: the owner's scale enlarges the font
    // and every stroke.
    double scale;
    FontSpec font;
    MenuLayout geometry;
    MenuEvents& events;
    Point origin{0, 0};
    int hoveredIndex = -1;
    bool damaged = false;
    std::unique_ptr<Canvas> canvas;
};

}  // namespace platform::x11

// Where a popup menu's entries go and where the menu itself goes on the screen. Pure
// geometry: text widths come from the caller, so it is the same whatever draws it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/PopupMenu.h"

namespace platform::x11 {

struct MenuMetrics {
    int itemHeight;
    int separatorHeight;
    int checkWidth;  // the gutter left of the label that holds a check mark
    int arrowWidth;  // the gutter right of the label that holds a sub-menu's arrow
    int border;
};

// Sizes that follow the font's line height (in device pixels) and the menu's scale.
MenuMetrics menuMetrics(int fontHeight, double scale = 1.0);

struct MenuLayout {
    MenuMetrics metrics{};
    std::vector<Rect> items;       // one per item, in the menu window's coordinates
    std::vector<int> columnLines;  // x of the line left of each column after the first
    int width = 0;
    int height = 0;
};

MenuLayout layOutMenu(const std::vector<MenuItem>& items, const MenuMetrics& metrics,
                      const std::function<int(const std::string&)>& textWidth);

// The entry under a point in the window's coordinates; -1 for none.
int itemAt(const MenuLayout& layout, Point where);

// Entries the user can move to: commands and sub-menus that hold something.
bool isSelectable(const MenuItem& item);
// The next selectable entry after from in direction step (+1 or -1), wrapping round;
// from -1 starts at the first (or, going up, the last). -1 when there is none.
int nextSelectable(const std::vector<MenuItem>& items, int from, int step);

// Top-left corner of a menu of width by height meant to open at anchor: it opens to the
// other side of the anchor where it would cross the screen's right or bottom edge, and is
// moved in when that does not fit either.
Point placeMenu(int width, int height, Point anchor, const Rect& screen);
// The same for a sub-menu beside entry (screen coordinates) of parent (the parent menu's
// screen rectangle): right of the parent, else left of it.
Point placeSubmenu(int width, int height, const Rect& parent, const Rect& entry,
                   const Rect& screen);

}  // namespace platform::x11

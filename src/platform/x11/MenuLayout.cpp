#include "platform/x11/MenuLayout.h"

#include <algorithm>
#include <cmath>

namespace platform::x11 {

namespace {

// Keeps the span [start, start + length) inside [low, high) where it fits, else at low.
int moveInside(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}

}  // namespace

MenuMetrics menuMetrics(int fontHeight, double scale) {
    auto scaled = [scale](int pixels) { return std::max(1, int(std::lround(pixels * scale))); };
    int itemHeight = std::max(fontHeight, scaled(8)) + scaled(8);
    return MenuMetrics{itemHeight, scaled(7), itemHeight, itemHeight * 3 / 4, scaled(1)};
}

MenuLayout layOutMenu(const std::vector<MenuItem>& items, const MenuMetrics& metrics,
                      const std::function<int(const std::string&)>& textWidth) {
    MenuLayout layout;
    layout.metrics = metrics;
    layout.items.resize(items.size());
    // First pass: heights and each column's widest entry.
    std::vector<int> columnOf(items.size());
    std::vector<int> columnWidths;
    int y = metrics.border;
    int tallest = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        if (columnWidths.empty() || (item.columnBreak && i > 0)) {
            columnWidths.push_back(0);
            y = metrics.border;
        }
        int height =
            item.kind == MenuItemKind::Separator ? metrics.separatorHeight : metrics.itemHeight;
        int width = metrics.checkWidth + metrics.arrowWidth;
        if (item.kind != MenuItemKind::Separator) width += textWidth(item.label);
        columnOf[i] = int(columnWidths.size()) - 1;
        columnWidths.back() = std::max({columnWidths.back(), width, 3 * metrics.itemHeight});
        layout.items[i] = Rect{0, y, 0, y + height};
        y += height;
        tallest = std::max(tallest, y);
    }
    // Second pass: columns side by side, a one-pixel line between two.
    std::vector<int> columnLefts;
    int x = metrics.border;
    for (size_t c = 0; c < columnWidths.size(); ++c) {
        if (c > 0) {
            layout.columnLines.push_back(x);
            x += metrics.border;
        }
        columnLefts.push_back(x);
        x += columnWidths[c];
    }
    for (size_t i = 0; i < items.size(); ++i) {
        int column = columnOf[i];
        layout.items[i].left = columnLefts[column];
        layout.items[i].right = columnLefts[column] + columnWidths[column];
    }
    layout.width = x + metrics.border;
    layout.height = std::max(tallest, metrics.border + metrics.itemHeight) + metrics.border;
    return layout;
}

int itemAt(const MenuLayout& layout, Point where) {
    for (size_t i = 0; i < layout.items.size(); ++i) {
        const Rect& r = layout.items[i];
        if (where.x >= r.left && where.x < r.right && where.y >= r.top && where.y < r.bottom)
            return int(i);
    }
    return -1;
}

bool isSelectable(const MenuItem& item) {
    return item.kind == MenuItemKind::Command ||
           (item.kind == MenuItemKind::Submenu && !item.children.empty());
}

int nextSelectable(const std::vector<MenuItem>& items, int from, int step) {
    int count = int(items.size());
    if (count == 0) return -1;
    int index = from;
    if (index < 0 || index >= count) index = step > 0 ? -1 : count;
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        if (isSelectable(items[size_t(index)])) return index;
    }
    return -1;
}

Point placeMenu(int width, int height, Point anchor, const Rect& screen) {
    Point at = anchor;
    if (at.x + width > screen.right) at.x = anchor.x - width;
    if (at.y + height > screen.bottom) at.y = anchor.y - height;
    at.x = moveInside(at.x, width, screen.left, screen.right);
    at.y = moveInside(at.y, height, screen.top, screen.bottom);
    return at;
}

Point placeSubmenu(int width, int height, const Rect& parent, const Rect& entry,
                   const Rect& screen) {
    Point at{parent.right, entry.top - 1};
    if (at.x + width > screen.right) at.x = parent.left - width;
    if (at.y + height > screen.bottom) at.y = entry.bottom + 1 - height;
    at.x = moveInside(at.x, width, screen.left, screen.right);
    at.y = moveInside(at.y, height, screen.top, screen.bottom);
    return at;
}

}  // namespace platform::x11

// Popup menu geometry: columns, entries under the pointer, keyboard steps and where a
// menu opens near the screen's edges.
#include <gtest/gtest.h>

#include "platform/x11/MenuLayout.h"

using platform::MenuItem;
using platform::MenuItemKind;
using platform::Point;
using platform::Rect;
using namespace platform::x11;

namespace {

MenuItem command(const std::string& label, int id) {
    MenuItem item;
    item.label = label;
    item.id = id;
    return item;
}

MenuItem ofKind(MenuItemKind kind, const std::string& label = "") {
    MenuItem item;
    item.kind = kind;
    item.label = label;
    return item;
}

int eightPerCharacter(const std::string& label) { return 8 * int(label.size()); }

const Rect kScreen{0, 0, 1024, 768};

}  // namespace

TEST(MenuLayout, EntriesStackAndSeparatorsAreThinner) {
    MenuMetrics metrics = menuMetrics(14);
    std::vector<MenuItem> items{command("One", 1), ofKind(MenuItemKind::Separator),
                                command("A much longer label", 2)};
    MenuLayout layout = layOutMenu(items, metrics, eightPerCharacter);
    ASSERT_EQ(layout.items.size(), 3u);
    EXPECT_EQ(layout.items[0].top, metrics.border);
    EXPECT_EQ(layout.items[1].top, layout.items[0].bottom);
    EXPECT_EQ(layout.items[1].height(), metrics.separatorHeight);
    EXPECT_LT(metrics.separatorHeight, metrics.itemHeight);
    EXPECT_EQ(layout.items[2].top, layout.items[1].bottom);
    EXPECT_EQ(layout.height, layout.items[2].bottom + metrics.border);
    // One column as wide as the longest label and its gutters: nothing clips.
    int widest = eightPerCharacter("A much longer label") + metrics.checkWidth + metrics.arrowWidth;
    EXPECT_EQ(layout.items[0].width(), widest);
    EXPECT_EQ(layout.width, widest + 2 * metrics.border);
    EXPECT_TRUE(layout.columnLines.empty());
}

TEST(MenuLayout, ColumnBreaksStartNewColumnsSideBySide) {
    // Forty entries at sixteen a column: columns start at entries 0, 16 and 32.
    std::vector<MenuItem> items;
    for (int i = 0; i < 40; ++i) {
        items.push_back(command("Entry " + std::to_string(i), i));
        items.back().columnBreak = i > 0 && i % 16 == 0;
    }
    MenuMetrics metrics = menuMetrics(12);
    MenuLayout layout = layOutMenu(items, metrics, eightPerCharacter);
    ASSERT_EQ(layout.columnLines.size(), 2u);
    EXPECT_EQ(layout.items[0].top, layout.items[16].top);
    EXPECT_EQ(layout.items[16].top, layout.items[32].top);
    EXPECT_EQ(layout.items[16].left, layout.items[15].right + 1);
    EXPECT_EQ(layout.columnLines[0], layout.items[15].right);
    EXPECT_EQ(layout.items[32].left, layout.items[31].right + 1);
    EXPECT_EQ(layout.height, layout.items[15].bottom + metrics.border);
    EXPECT_EQ(layout.width, layout.items[39].right + metrics.border);
    EXPECT_EQ(itemAt(layout, Point{layout.items[20].left + 2, layout.items[20].top + 2}), 20);
    EXPECT_EQ(itemAt(layout, Point{layout.columnLines[0], layout.items[3].top + 2}), -1);
    EXPECT_EQ(itemAt(layout, Point{layout.items[39].left + 2, layout.items[15].top + 2}), -1);
}

TEST(MenuLayout, KeyboardStepsSkipWhatCannotBeChosenAndWrap) {
    MenuItem emptySubmenu = ofKind(MenuItemKind::Submenu, "Empty");
    MenuItem submenu = ofKind(MenuItemKind::Submenu, "More");
    submenu.children.push_back(command("Inner", 9));
    std::vector<MenuItem> items{ofKind(MenuItemKind::Title, "Title"), command("A", 1),
                                ofKind(MenuItemKind::Separator), ofKind(MenuItemKind::Greyed, "G"),
                                emptySubmenu, submenu, command("B", 2)};
    EXPECT_EQ(nextSelectable(items, -1, 1), 1);
    EXPECT_EQ(nextSelectable(items, 1, 1), 5);
    EXPECT_EQ(nextSelectable(items, 5, 1), 6);
    EXPECT_EQ(nextSelectable(items, 6, 1), 1);
    EXPECT_EQ(nextSelectable(items, -1, -1), 6);
    EXPECT_EQ(nextSelectable(items, 1, -1), 6);
    std::vector<MenuItem> nothing{ofKind(MenuItemKind::Separator),
                                  ofKind(MenuItemKind::Title, "T")};
    EXPECT_EQ(nextSelectable(nothing, -1, 1), -1);
    EXPECT_EQ(nextSelectable({}, -1, 1), -1);
}

TEST(MenuPlacement, AMenuThatFitsOpensAtItsAnchor) {
    Point at = placeMenu(200, 300, Point{100, 80}, kScreen);
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 80);
}

TEST(MenuPlacement, NearTheBottomRightItOpensUpAndLeftOfTheAnchor) {
    Point at = placeMenu(200, 300, Point{1000, 700}, kScreen);
    EXPECT_EQ(at.x, 800);
    EXPECT_EQ(at.y, 400);
}

TEST(MenuPlacement, AMenuThatFitsNeitherWayIsMovedIn) {
    Point at = placeMenu(200, 700, Point{150, 400}, kScreen);
    EXPECT_EQ(at.x, 150);
    EXPECT_EQ(at.y, 0);  // 300 above the anchor is not enough either
    Point huge = placeMenu(2000, 100, Point{10, 10}, kScreen);
    EXPECT_EQ(huge.x, 0);
}

TEST(MenuPlacement, ASubmenuOpensRightOfItsParentElseLeft) {
    Rect parent{100, 100, 300, 400};
    Rect entry{101, 150, 299, 170};
    Point right = placeSubmenu(150, 100, parent, entry, kScreen);
    EXPECT_EQ(right.x, 300);
    EXPECT_EQ(right.y, 149);
    Rect nearEdge{800, 100, 1000, 400};
    Point left = placeSubmenu(150, 100, nearEdge, Rect{801, 150, 999, 170}, kScreen);
    EXPECT_EQ(left.x, 650);
    Point up = placeSubmenu(150, 100, parent, Rect{101, 740, 299, 760}, kScreen);
    EXPECT_EQ(up.y, 661);  // its bottom lines up with the entry's
    EXPECT_LE(up.y + 100, kScreen.bottom);
}

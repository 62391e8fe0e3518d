// The popup menu as Windows builds and tracks it: the native tree checked item by item,
// and real TrackPopupMenu sessions driven by keys posted from inside the menu's loop.
#include "DialogsDesk.h"

#include <string>
#include <vector>

#include "platform/PopupMenu.h"
#include "platform/win32/Win32Menu.h"

using platform::MenuItem;
using platform::MenuItemKind;

namespace {

MenuItem command(const std::string& label, int id, bool checked = false) {
    MenuItem item;
    item.label = label;
    item.id = id;
    item.checked = checked;
    return item;
}

MenuItem ofKind(MenuItemKind kind, const std::string& label = "") {
    MenuItem item;
    item.kind = kind;
    item.label = label;
    return item;
}

std::string labelAt(HMENU menu, UINT position) {
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// Presses posted to the thread's queue, which the menu's loop reads.
void postKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

// Our ids are 100 and up, so that a command id handed back as it is would be noticed.
std::vector<MenuItem> programMenu() {
    return {command("Current", 100, true), ofKind(MenuItemKind::Separator),
            command("Default", 101), command("Kick", 102)};
}

}  // namespace

TEST(Win32NativeMenu, BuildsEachKindOfItem) {
    MenuItem submenu = ofKind(MenuItemKind::Submenu, "More");
    submenu.children = {command("Deep", 300)};
    MenuItem broken = command("Next column", 203);
    broken.columnBreak = true;
    std::vector<MenuItem> items{command("Plain", 200),
                                command("Checked", 201, true),
                                ofKind(MenuItemKind::Separator),
                                ofKind(MenuItemKind::Title, "Heading"),
                                ofKind(MenuItemKind::Greyed, "Unavailable"),
                                submenu,
                                broken,
                                command("Rock & Roll", 204)};
    platform::win32::NativeMenu menu(items);
    HMENU root = menu.handle();
    ASSERT_TRUE(root);
    ASSERT_EQ(GetMenuItemCount(root), 8);

    EXPECT_EQ(GetMenuState(root, 0, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED),
              0u);
    EXPECT_TRUE(GetMenuState(root, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(root, 2, MF_BYPOSITION) & MF_SEPARATOR);

    UINT title = GetMenuState(root, 3, MF_BYPOSITION);
    EXPECT_TRUE(title & MF_DISABLED);
    EXPECT_FALSE(title & MF_GRAYED);
    EXPECT_EQ(labelAt(root, 3), "Heading");
    EXPECT_TRUE(GetMenuState(root, 4, MF_BYPOSITION) & MF_GRAYED);

    HMENU more = GetSubMenu(root, 5);
    ASSERT_TRUE(more);
    EXPECT_EQ(labelAt(root, 5), "More");
    EXPECT_EQ(labelAt(more, 0), "Deep");

    EXPECT_TRUE(GetMenuState(root, 6, MF_BYPOSITION) & MF_MENUBARBREAK);
    EXPECT_FALSE(GetMenuState(root, 0, MF_BYPOSITION) & MF_MENUBARBREAK);
    // An ampersand is shown as itself, not as a mnemonic.
    EXPECT_EQ(labelAt(root, 7), "Rock && Roll");

    // Every command maps back to its own id, the sub-menu's included; 0 is no choice.
    EXPECT_EQ(menu.idOf(GetMenuItemID(root, 0)), 200);
    EXPECT_EQ(menu.idOf(GetMenuItemID(root, 1)), 201);
    EXPECT_EQ(menu.idOf(GetMenuItemID(more, 0)), 300);
    EXPECT_EQ(menu.idOf(GetMenuItemID(root, 6)), 203);
    EXPECT_EQ(menu.idOf(GetMenuItemID(root, 7)), 204);
    EXPECT_FALSE(menu.idOf(0));
    EXPECT_FALSE(menu.idOf(6));
    // Titles and greyed entries carry no command that could be chosen.
    EXPECT_FALSE(menu.idOf(GetMenuItemID(root, 3)));
    EXPECT_FALSE(menu.idOf(GetMenuItemID(root, 4)));
}

namespace {

// The system tracks the menu inside open, which reports once before it returns.
std::optional<int> trackMenu(const std::vector<MenuItem>& items,
                             const platform::PopupMenuOptions& options,
                             const platform::ModalPump& pump) {
    std::optional<int> chosen;
    int ends = 0;
    auto menu = platform::PopupMenu::open(items, options, pump, [&](std::optional<int> choice) {
        chosen = choice;
        ++ends;
    });
    EXPECT_FALSE(menu);
    EXPECT_EQ(ends, 1);
    return chosen;
}

}  // namespace

class Win32PopupMenuTest : public DialogsDesk {
protected:
    platform::PopupMenuOptions options() const {
        platform::PopupMenuOptions result;
        result.owner = window->handle();
        platform::Point origin = window->screenOrigin();
        result.position = platform::Point{origin.x + 20, origin.y + 20};
        return result;
    }
    // Posts keys once the menu is open; the menu window's class is the system's "#32768".
    LoopAction pressWhenOpen(std::vector<WPARAM> keys) {
        HWND owner = top;
        return LoopAction([owner, keys] {
            HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) return false;
            for (WPARAM key : keys) postKey(owner, key);
            return true;
        });
    }
};

TEST_F(Win32PopupMenuTest, KeysChooseAnEntryAndEscapeDismisses) {
    int pumped = 0;
    auto pump = [&pumped] {
        ++pumped;
        return true;
    };
    {
        LoopAction keys = pressWhenOpen({VK_DOWN, VK_DOWN, VK_RETURN});
        // The separator is passed over: the second step lands on "Default".
        EXPECT_EQ(trackMenu(programMenu(), options(), pump), 101);
        EXPECT_TRUE(keys.done());
    }
    // Turned while the menu was open and once after it.
    EXPECT_GE(pumped, 1);
    {
        LoopAction keys = pressWhenOpen({VK_DOWN, VK_ESCAPE});
        EXPECT_FALSE(trackMenu(programMenu(), options(), pump));
        EXPECT_TRUE(keys.done());
    }
}

TEST_F(Win32PopupMenuTest, ChoosesInsideASubmenu) {
    MenuItem submenu = ofKind(MenuItemKind::Submenu, "Factory");
    submenu.children = {command("Kick", 116), command("Snare", 117)};
    std::vector<MenuItem> items{command("Current", 100), submenu};
    LoopAction keys = pressWhenOpen({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    EXPECT_EQ(trackMenu(items, options(), [] { return true; }), 117);
}

// The host closed the editor while the menu was open: the menu ends by itself, before the
// user's keys could choose anything.
TEST_F(Win32PopupMenuTest, EditorClosedDuringTheMenuGivesNothing) {
    // Escape only after a second and a half, should the menu still wait for the user.
    int ticks = 0;
    HWND owner = top;
    LoopAction rescue([&ticks, owner] {
        if (++ticks < 15) return false;
        postKey(owner, VK_ESCAPE);
        return true;
    });
    EXPECT_FALSE(trackMenu(programMenu(), options(), [] { return false; }));
    EXPECT_FALSE(rescue.done());
    EXPECT_FALSE(FindWindowA("#32768", nullptr) &&
                 IsWindowVisible(FindWindowA("#32768", nullptr)));
}

TEST_F(Win32PopupMenuTest, NothingWithoutItemsOrOwner) {
    EXPECT_FALSE(trackMenu({}, options(), [] { return true; }));
    platform::PopupMenuOptions ownerless = options();
    ownerless.owner = 0;
    EXPECT_FALSE(trackMenu(programMenu(), ownerless, [] { return true; }));
    // No menu was left open by either.
    EXPECT_FALSE(FindWindowA("#32768", nullptr) &&
                 IsWindowVisible(FindWindowA("#32768", nullptr)));
}

// The popup menu on a real X server: where it opens, what a click, a sub-menu, the keys
// and a dismissal answer, and that the grabs are given back. Opening returns at once; the
// test drives the pointer and keys between the event passes that serve the menu, as a
// host's idle calls do.
#include "x11_desk.h"

#include <optional>

#include "platform/PopupMenu.h"

using platform::MenuItem;
using platform::MenuItemKind;
using platform::Point;
using platform::PopupMenuOptions;
using platform::Rect;

namespace {

MenuItem command(const std::string& label, int id) {
    MenuItem item;
    item.label = label;
    item.id = id;
    return item;
}

MenuItem ofKind(MenuItemKind kind, const std::string& label) {
    MenuItem item;
    item.kind = kind;
    item.label = label;
    return item;
}

// The centre of entry index of a menu whose entries are all of one height.
Point entryCentre(const Rect& menu, int index, int count) {
    int height = (menu.height() - 2) / count;
    return Point{(menu.left + menu.right) / 2, menu.top + 1 + height * index + height / 2};
}

std::string moveTo(Point where) {
    return "mousemove --sync " + std::to_string(where.x) + " " + std::to_string(where.y);
}

PopupMenuOptions at(int x, int y) {
    PopupMenuOptions options;
    options.position = Point{x, y};
    options.font = platform::FontSpec{"Arial", 13};
    options.highlight = platform::Color{0, 0, 128, 255};
    return options;
}

const std::vector<MenuItem> kThree{command("Alpha", 1), command("Bravo", 2), command("Charlie", 3)};

}  // namespace

class X11PopupMenuTest : public X11Desk {
protected:
    // Opens the menu and runs event passes, with script after each until it answers true,
    // until the menu ends. A menu still open after many passes is closed, so a failing
    // test ends.
    std::optional<int> show(const std::vector<MenuItem>& items, const PopupMenuOptions& options,
                            const std::function<bool()>& script) {
        bool scripted = false;
        bool ended = false;
        std::optional<int> chosen;
        auto menu = platform::PopupMenu::open(items, options, nullptr,
                                              [&](std::optional<int> choice) {
                                                  ended = true;
                                                  chosen = choice;
                                              });
        for (turns = 0; !ended && turns < 1500; ++turns) {
            platform::processPendingEvents();
            if (!scripted && !ended) scripted = script();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(ended) << "the menu never ended";
        return chosen;
    }

    // The script's first step: the menus once they are on the screen.
    bool menusShown(size_t count) {
        menus = openMenus();
        return menus.size() >= count;
    }

    int turns = 0;
    std::vector<Rect> menus;
};

TEST_F(X11PopupMenuTest, OpensWhereAskedAndAClickOnAnEntryChoosesIt) {
    Rect shown{};
    auto chosen = show(kThree, at(120, 90), [&] {
        if (!menusShown(1)) return false;
        shown = menus[0];
        xdotool(moveTo(entryCentre(shown, 1, 3)) + " click 1");
        return true;
    });
    EXPECT_EQ(chosen, std::optional<int>(2));
    EXPECT_EQ(shown.left, 120);
    EXPECT_EQ(shown.top, 90);
    EXPECT_GT(shown.width(), 20);
    EXPECT_TRUE(openMenus().empty());
    EXPECT_TRUE(inputIsFree());
}

TEST_F(X11PopupMenuTest, NearTheBottomRightCornerItStaysOnTheScreen) {
    Rect shown{};
    auto chosen = show(kThree, at(1020, 760), [&] {
        if (!menusShown(1)) return false;
        shown = menus[0];
        xdotool("key Escape");
        return true;
    });
    EXPECT_FALSE(chosen);
    EXPECT_LE(shown.right, 1020);  // opened to the left of and above its anchor
    EXPECT_LE(shown.bottom, 760);
    EXPECT_GE(shown.left, 0);
    EXPECT_GE(shown.top, 0);
    EXPECT_TRUE(inputIsFree());
}

TEST_F(X11PopupMenuTest, AChoiceInASubmenuAnswersTheSubmenuEntrysId) {
    MenuItem more = ofKind(MenuItemKind::Submenu, "More");
    more.children = {command("Inner one", 10), command("Inner two", 11)};
    std::vector<MenuItem> items{command("Alpha", 1), more, command("Charlie", 3)};
    int step = 0;
    Rect parent{}, sub{};
    auto chosen = show(items, at(100, 100), [&] {
        if (step == 0) {
            if (!menusShown(1)) return false;
            parent = menus[0];
            xdotool(moveTo(entryCentre(parent, 1, 3)));
            step = 1;
            return false;
        }
        if (!menusShown(2)) return false;
        sub = menus[1];
        xdotool(moveTo(Point{sub.left + 5, entryCentre(sub, 0, 2).y}) + " " +
                moveTo(entryCentre(sub, 1, 2)) + " click 1");
        return true;
    });
    EXPECT_EQ(chosen, std::optional<int>(11));
    EXPECT_EQ(sub.left, parent.right);  // beside its parent
    EXPECT_TRUE(openMenus().empty());
}

TEST_F(X11PopupMenuTest, ASubmenuWithoutRoomOnTheRightOpensLeft) {
    MenuItem more = ofKind(MenuItemKind::Submenu, "More");
    more.children = {command("Inner one", 10)};
    Rect parent{}, sub{};
    int step = 0;
    auto chosen = show({more, command("Alpha", 1)}, at(1023, 100), [&] {
        if (step == 0) {
            if (!menusShown(1)) return false;
            parent = menus[0];
            xdotool(moveTo(entryCentre(parent, 0, 2)) + " key Right");
            step = 1;
            return false;
        }
        if (!menusShown(2)) return false;
        sub = menus[1];
        xdotool("key Left Escape");
        return true;
    });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(sub.right, parent.left);
    EXPECT_TRUE(openMenus().empty());
}

TEST_F(X11PopupMenuTest, DownSkipsWhatCannotBeChosenAndReturnChooses) {
    std::vector<MenuItem> items{ofKind(MenuItemKind::Title, "Title"), command("Alpha", 1),
                                ofKind(MenuItemKind::Separator, ""),
                                ofKind(MenuItemKind::Greyed, "Greyed"), command("Bravo", 2)};
    auto chosen = show(items, at(200, 150), [&] {
        if (!menusShown(1)) return false;
        xdotool("key Down Down Return");
        return true;
    });
    EXPECT_EQ(chosen, std::optional<int>(2));
}

TEST_F(X11PopupMenuTest, TheEntryUnderTheKeyboardIsHighlighted) {
    PopupMenuOptions options = at(200, 150);
    int step = 0;
    platform::Color marked{}, unmarked{};
    auto chosen = show(kThree, options, [&] {
        if (step == 0) {
            if (!menusShown(1)) return false;
            xdotool("key Down Down");
            step = 1;
            return false;
        }
        Point bravo = entryCentre(menus[0], 1, 3);
        marked = screenPixel(menus[0].left + 3, bravo.y);
        if (marked != options.highlight && ++step < 200) return false;
        unmarked = screenPixel(menus[0].left + 3, entryCentre(menus[0], 0, 3).y);
        xdotool("key Return");
        return true;
    });
    EXPECT_EQ(chosen, std::optional<int>(2));
    EXPECT_EQ(marked, options.highlight);
    EXPECT_EQ(unmarked, options.background);
}

TEST_F(X11PopupMenuTest, CheckMarksAndGreyedEntriesAreDrawnAsTheySay) {
    std::vector<MenuItem> items{command("Alpha", 1), command("Bravo", 2),
                                ofKind(MenuItemKind::Greyed, "Charlie")};
    items[0].checked = true;
    PopupMenuOptions options = at(200, 150);
    int checkInk = -1, noCheckInk = -1, greyInk = -1, blackInGrey = -1, blackInBravo = -1;
    int waited = 0;
    show(items, options, [&] {
        if (!menusShown(1)) return false;
        Rect menu = menus[0];
        int row = (menu.height() - 2) / 3;
        auto rowArea = [&](int index, int left, int right) {
            int top = menu.top + 1 + row * index;
            return Rect{left, top, right, top + row};
        };
        int gutterRight = menu.left + 1 + row;  // the check gutter is one entry high, square
        checkInk = countPixels(rowArea(0, menu.left + 1, gutterRight), options.text);
        noCheckInk = countPixels(rowArea(1, menu.left + 1, gutterRight), options.text);
        blackInBravo = countPixels(rowArea(1, gutterRight, menu.right - 1), options.text);
        greyInk = countPixels(rowArea(2, gutterRight, menu.right - 1), options.greyedText);
        blackInGrey = countPixels(rowArea(2, gutterRight, menu.right - 1), options.text);
        if (greyInk <= 0 && ++waited < 100) return false;  // not painted yet
        xdotool("key Escape");
        return true;
    });
    EXPECT_GT(checkInk, 5);
    EXPECT_EQ(noCheckInk, 0);
    EXPECT_GT(blackInBravo, 5);
    EXPECT_GT(greyInk, 5);
    EXPECT_EQ(blackInGrey, 0);
}

TEST_F(X11PopupMenuTest, EntriesAfterAColumnBreakStandInTheNextColumn) {
    std::vector<MenuItem> items;
    for (int i = 0; i < 6; ++i) items.push_back(command("Item " + std::to_string(i), 20 + i));
    items[3].columnBreak = true;
    Rect shown{};
    auto chosen = show(items, at(50, 50), [&] {
        if (!menusShown(1)) return false;
        shown = menus[0];
        int column = (shown.width() - 3) / 2;
        Point second = entryCentre(shown, 1, 3);
        xdotool(moveTo(Point{shown.left + 2 + column + column / 2, second.y}) + " click 1");
        return true;
    });
    EXPECT_EQ(chosen, std::optional<int>(24));  // the second entry of the second column
    EXPECT_GT(shown.width(), shown.height());  // two columns of three, not one of six
}

TEST_F(X11PopupMenuTest, EscapeDismissesAndGivesTheInputBack) {
    auto chosen = show(kThree, at(300, 200), [&] {
        if (!menusShown(1)) return false;
        xdotool("key Escape");
        return true;
    });
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(openMenus().empty());
    EXPECT_TRUE(inputIsFree());
}

TEST_F(X11PopupMenuTest, AClickOnItsOwnWindowOnlyDismissesAndOneOnAnotherOfOursGoesThrough) {
    PopupMenuOptions owned = at(300, 200);
    owned.owner = child->handle();
    auto chosen = show(kThree, owned, [&] {
        if (!menusShown(1)) return false;
        xdotool("mousemove --sync 10 10 click 1");  // on the window the menu belongs to
        return true;
    });
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(inputIsFree());
    settle([] { return false; }, 10);
    EXPECT_EQ(listener.presses, 0);

    // Another editor of the process, in a host window of its own beside the first.
    std::string error;
    auto otherHost = platform::HostWindow::create("other", 200, 100, error, 500, 0);
    ASSERT_TRUE(otherHost) << error;
    RecordingWindowListener otherListener;
    auto other = platform::NativeWindow::createChild(otherHost->handle(), 200, 100, otherListener);
    ASSERT_TRUE(other);
    settle([] { return false; }, 5);
    Rect otherRect{};
    ASSERT_TRUE(platform::windowScreenRect(other->handle(), otherRect));
    chosen = show(kThree, owned, [&] {
        if (!menusShown(1)) return false;
        xdotool(moveTo(Point{otherRect.left + 20, otherRect.top + 20}) + " click 1");
        return true;
    });
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(settle([&] { return otherListener.presses == 1; }));
    EXPECT_TRUE(inputIsFree());
}

TEST_F(X11PopupMenuTest, ReleasingTheHeldButtonOverAnEntryChoosesIt) {
    xdotool("mousemove --sync 20 20 mousedown 1");
    auto chosen = show(kThree, at(100, 100), [&] {
        if (!menusShown(1)) return false;
        xdotool(moveTo(entryCentre(menus[0], 2, 3)) + " mouseup 1");
        return true;
    });
    EXPECT_EQ(chosen, std::optional<int>(3));
    EXPECT_TRUE(inputIsFree());
}

TEST_F(X11PopupMenuTest, TheReleaseOfTheOpeningClickDoesNotChooseWhatOpenedUnderIt) {
    xdotool("mousemove --sync 110 110 mousedown 1");
    int step = 0;
    auto chosen = show(kThree, at(100, 100), [&] {
        if (step == 0) {
            if (!menusShown(1)) return false;
            xdotool("mouseup 1");
            step = 1;
            return false;
        }
        if (++step < 20) return false;  // the release has long been handled
        EXPECT_EQ(openMenus().size(), 1u);
        xdotool("key Escape");
        return true;
    });
    EXPECT_FALSE(chosen);
}

TEST_F(X11PopupMenuTest, ClosedByItsOwnerItTellsNothingAndGivesTheInputBack) {
    int ends = 0;
    auto menu = platform::PopupMenu::open(kThree, at(300, 200), nullptr,
                                          [&](std::optional<int>) { ++ends; });
    ASSERT_TRUE(menu);
    EXPECT_TRUE(settle([&] { return menusShown(1); }));
    EXPECT_FALSE(inputIsFree());
    menu.reset();
    settle([] { return false; }, 5);
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(openMenus().empty());
    EXPECT_TRUE(inputIsFree());
}

TEST_F(X11PopupMenuTest, OurWindowsKeepPaintingWhileTheMenuIsOpen) {
    settle([] { return false; }, 5);
    int exposesBefore = listener.exposes;
    int step = 0;
    show(kThree, at(300, 200), [&] {
        if (step++ == 0) {
            // Another client covers and uncovers our window: it must be painted again.
            Window cover = XCreateSimpleWindow(observer, DefaultRootWindow(observer), 0, 0, 200,
                                               100, 0, 0, 0);
            XMapWindow(observer, cover);
            XSync(observer, False);
            XDestroyWindow(observer, cover);
            XSync(observer, False);
            return false;
        }
        if (listener.exposes == exposesBefore && step < 300) return false;
        xdotool("key Escape");
        return true;
    });
    EXPECT_GT(listener.exposes, exposesBefore);
}

TEST_F(X11PopupMenuTest, AHostHidingTheEditorsWindowTakesTheMenuAlong) {
    PopupMenuOptions owned = at(300, 200);
    owned.owner = child->handle();
    auto chosen = show(kThree, owned, [&] {
        if (!menusShown(1)) return false;
        XUnmapWindow(observer, Window(host->handle()));
        XSync(observer, False);
        return true;
    });
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(openMenus().empty());
    EXPECT_TRUE(inputIsFree());
}

TEST_F(X11PopupMenuTest, AnEmptyMenuEndsDismissedInsideOpen) {
    int ends = 0;
    auto menu = platform::PopupMenu::open({}, at(10, 10), nullptr, [&](std::optional<int> chosen) {
        EXPECT_FALSE(chosen);
        ++ends;
    });
    EXPECT_FALSE(menu);
    EXPECT_EQ(ends, 1);
}

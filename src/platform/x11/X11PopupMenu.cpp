// The popup menu on X11: override-redirect windows of our own connection, one per open
// level, holding the pointer and keyboard grabs. No loop of its own: its windows' events
// come through the event passes of the host's idle calls, and it ends at the end of one.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/PopupMenu.h"
#include "platform/x11/MenuLayout.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11MenuWindow.h"

namespace platform {

namespace {

using x11::MenuWindow;
using x11::isSelectable;
using x11::nextSelectable;
using x11::placeMenu;
using x11::placeSubmenu;

// Someone else may hold a grab for a moment (the host, right after a click): the grabs are
// tried again in each pass for this long.
constexpr auto kGrabRetryTime = std::chrono::milliseconds(200);
// Pointer travel that turns the release of the held button into a choice.
constexpr int kDragThreshold = 3;

class X11PopupMenu : public PopupMenu, public x11::MenuEvents, public x11::PassWatcher {
public:
    X11PopupMenu(Display* display, const std::vector<MenuItem>& items,
                 const PopupMenuOptions& options, MenuEnded ended)
        : display(display), items(items), options(options), ended(std::move(ended)) {
        Screen* screenOfDisplay = DefaultScreenOfDisplay(display);
        screen = Rect{0, 0, WidthOfScreen(screenOfDisplay), HeightOfScreen(screenOfDisplay)};
        x11::addPassWatcher(this);
    }

    ~X11PopupMenu() override {
        x11::removePassWatcher(this);
        {
            // The windows and grabs are gone before the connection may close.
            x11::ErrorTrap trap;
            releaseInput();
            levels.clear();
            XFlush(display);
        }
        x11::releaseDisplay();
    }

    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    // Shows the top level and takes the grabs; false when no window could be made.
    bool show() {
        x11::ErrorTrap trap;
        firstSerial = NextRequest(display);
        auto root = MenuWindow::create(display, items, options, *this);
        if (!root) return false;
        Point at = placeMenu(root->layout().width, root->layout().height, options.position,
                             screen);
        root->show(at, options.owner);
        levels.push_back(std::move(root));
        openedAtTime = std::chrono::steady_clock::now();
        takeGrabs();
        readPointer(openedAt, startButtons);
        unsigned int tracked = options.trackRightButton ? Button3Mask : Button1Mask;
        trackedHeld = startButtons & tracked;
        lastButtons = startButtons;
        return true;
    }

    void passEnded() override {
        if (!finished) {
            x11::ErrorTrap trap;
            // A host that hides the editor's window (closing it without a word) takes the
            // menu along.
            if (options.owner && !isViewable(Window(options.owner))) {
                end(std::nullopt);
            } else {
                if ((!pointerGrabbed || !keyboardGrabbed) &&
                    std::chrono::steady_clock::now() - openedAtTime < kGrabRetryTime)
                    takeGrabs();
                if (!pointerGrabbed) watchForOutsideClick();
                return;
            }
        }
        {
            x11::ErrorTrap trap;
            levels.clear();
        }
        x11::removePassWatcher(this);
        // Last: the owner may destroy the menu.
        MenuEnded tell = std::move(ended);
        std::optional<int> choice = chosen;
        if (tell) tell(choice);
    }

    // A press for one of our other windows (the grab lets presses on our own windows
    // through) ends the menu; on the window it belongs to, the press only closes it. One
    // made before the menu opened (still queued) is swallowed, as the menu knew nothing.
    bool pressFor(Window window, const XEvent& press) override {
        if (finished || ownsWindow(window)) return false;
        if (press.xany.serial < firstSerial) return true;
        end(std::nullopt);
        return options.owner && isInside(window, Window(options.owner));
    }

    // Every event of our menu windows.
    void menuEvent(const XEvent& event) override {
        if (finished) return;
        switch (event.type) {
            case MotionNotify:
                pointerAt(Point{event.xmotion.x_root, event.xmotion.y_root});
                break;
            case ButtonPress: pressed(event.xbutton); break;
            case ButtonRelease: released(event.xbutton); break;
            case KeyPress: {
                XKeyEvent key = event.xkey;
                keyPressed(XLookupKeysym(&key, 0));
                break;
            }
            case FocusOut:
                if (keyboardGrabbed && event.xfocus.mode == NotifyUngrab) dismiss();
                break;
            case LeaveNotify:
                if (pointerGrabbed && event.xcrossing.mode == NotifyUngrab) dismiss();
                break;
            case UnmapNotify:
            case DestroyNotify:
                // Only someone else unmaps our menus while they are open.
                dismiss();
                break;
            default: break;
        }
    }

private:
    // Presses on our own windows reach them (and pressFor); all other pointer input comes
    // to the menu. Keys all come to the menu.
    void takeGrabs() {
        Window grabWindow = levels.front()->window();
        unsigned int mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
        if (!pointerGrabbed)
            pointerGrabbed = XGrabPointer(display, grabWindow, True, mask, GrabModeAsync,
                                          GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
        if (!keyboardGrabbed)
            keyboardGrabbed = XGrabKeyboard(display, grabWindow, False, GrabModeAsync,
                                            GrabModeAsync, CurrentTime) == GrabSuccess;
        // Without the keyboard grab the keys still reach us while the menu has the focus.
        if (!keyboardGrabbed && !focusTaken) {
            x11::ErrorTrap trap;
            XGetInputFocus(display, &previousFocus, &previousRevert);
            XSetInputFocus(display, grabWindow, RevertToParent, CurrentTime);
            focusTaken = !trap.failed();
        }
    }

    void releaseInput() {
        if (pointerGrabbed) XUngrabPointer(display, CurrentTime);
        if (keyboardGrabbed) XUngrabKeyboard(display, CurrentTime);
        if (focusTaken && previousFocus != None)
            XSetInputFocus(display, previousFocus, previousRevert, CurrentTime);
        pointerGrabbed = keyboardGrabbed = focusTaken = false;
    }

    // The input is given back and the menus leave the screen at once; the windows go and
    // the owner is told at the end of the pass, outside their own event handling.
    void end(std::optional<int> choice) {
        if (finished) return;
        finished = true;
        chosen = choice;
        x11::ErrorTrap trap;
        releaseInput();
        for (const auto& level : levels) XUnmapWindow(display, level->window());
    }

    bool isViewable(Window window) const {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display, window, &attributes) &&
               attributes.map_state == IsViewable;
    }

    // window, or a window inside it.
    bool isInside(Window window, Window ancestor) const {
        x11::ErrorTrap trap;
        for (int depth = 0; window && depth < 16; ++depth) {
            if (window == ancestor) return true;
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
            if (children) XFree(children);
            if (parent == root) return false;
            window = parent;
        }
        return false;
    }

    void readPointer(Point& where, unsigned int& buttons) {
        Window rootWindow = 0, child = 0;
        int x = 0, y = 0;
        buttons = 0;
        if (XQueryPointer(display, DefaultRootWindow(display), &rootWindow, &child, &where.x,
                          &where.y, &x, &y, &buttons) == False)
            where = Point{-1, -1};
    }

    // Without the pointer grab a click elsewhere never reaches us; the live button state
    // tells of it instead.
    void watchForOutsideClick() {
        Point where{0, 0};
        unsigned int buttons = 0;
        readPointer(where, buttons);
        unsigned int all = Button1Mask | Button2Mask | Button3Mask;
        unsigned int newlyPressed = buttons & ~lastButtons & all;
        lastButtons = buttons;
        if (newlyPressed && levelAt(where) < 0) dismiss();
    }

    bool ownsWindow(Window window) const {
        for (const auto& level : levels)
            if (level->window() == window) return true;
        return false;
    }

    // The innermost open menu under a screen point; -1 for none.
    int levelAt(Point where) const {
        for (int level = int(levels.size()) - 1; level >= 0; --level)
            if (levels[size_t(level)]->containsScreenPoint(where)) return level;
        return -1;
    }

    void pointerAt(Point where) {
        if (std::abs(where.x - openedAt.x) > kDragThreshold ||
            std::abs(where.y - openedAt.y) > kDragThreshold)
            moved = true;
        int level = levelAt(where);
        if (level < 0) {
            // Off the menus: the innermost menu forgets its entry unless it opened a child.
            levels.back()->setHovered(-1);
            return;
        }
        MenuWindow& menu = *levels[size_t(level)];
        int index = menu.itemAtScreenPoint(where);
        if (index >= 0 && !isSelectable(menu.items()[size_t(index)])) index = -1;
        if (index == menu.hovered() && int(levels.size()) > level + 1) return;
        closeLevelsAfter(level);
        menu.setHovered(index);
        if (index >= 0 && menu.items()[size_t(index)].kind == MenuItemKind::Submenu)
            openSubmenu(level, index, false);
    }

    void pressed(const XButtonEvent& press) {
        if (press.button > Button3) return;  // the wheel
        Point where{press.x_root, press.y_root};
        if (levelAt(where) < 0) {
            dismiss();
            return;
        }
        pressedInside = true;
        pointerAt(where);
    }

    void released(const XButtonEvent& release) {
        if (release.button > Button3) return;
        Point where{release.x_root, release.y_root};
        bool choosing = pressedInside || (trackedHeld && moved);
        trackedHeld = false;
        pressedInside = false;
        int level = levelAt(where);
        if (!choosing || level < 0) return;
        MenuWindow& menu = *levels[size_t(level)];
        int index = menu.itemAtScreenPoint(where);
        if (index >= 0) activate(level, index, false);
    }

    void keyPressed(KeySym symbol) {
        int level = int(levels.size()) - 1;
        MenuWindow& menu = *levels.back();
        switch (symbol) {
            case XK_Down:
            case XK_KP_Down:
            case XK_Up:
            case XK_KP_Up: {
                int step = (symbol == XK_Down || symbol == XK_KP_Down) ? 1 : -1;
                menu.setHovered(nextSelectable(menu.items(), menu.hovered(), step));
                break;
            }
            case XK_Right:
            case XK_KP_Right:
                if (menu.hovered() >= 0 &&
                    menu.items()[size_t(menu.hovered())].kind == MenuItemKind::Submenu)
                    activate(level, menu.hovered(), true);
                break;
            case XK_Left:
            case XK_KP_Left:
                if (level > 0) closeLevelsAfter(level - 1);
                break;
            case XK_Escape:
                if (level > 0)
                    closeLevelsAfter(level - 1);
                else
                    dismiss();
                break;
            case XK_Return:
            case XK_KP_Enter:
            case XK_space:
                if (menu.hovered() >= 0) activate(level, menu.hovered(), true);
                break;
            default: break;
        }
    }

    // A command is chosen; a sub-menu opens (with its first entry marked from the keyboard).
    void activate(int level, int index, bool fromKeyboard) {
        const MenuItem& item = levels[size_t(level)]->items()[size_t(index)];
        if (!isSelectable(item)) return;
        if (item.kind == MenuItemKind::Command) {
            end(item.id);
            return;
        }
        MenuWindow& menu = *levels[size_t(level)];
        bool alreadyOpen = menu.hovered() == index && int(levels.size()) > level + 1;
        menu.setHovered(index);
        if (!alreadyOpen) {
            openSubmenu(level, index, fromKeyboard);
        } else if (fromKeyboard) {
            closeLevelsAfter(level + 1);
            levels.back()->setHovered(nextSelectable(item.children, -1, 1));
        }
    }

    void openSubmenu(int level, int index, bool markFirst) {
        closeLevelsAfter(level);
        MenuWindow& parent = *levels[size_t(level)];
        const MenuItem& item = parent.items()[size_t(index)];
        if (item.children.empty()) return;
        auto child = MenuWindow::create(display, item.children, options, *this);
        if (!child) return;
        Point at = placeSubmenu(child->layout().width, child->layout().height,
                                parent.screenRect(), parent.itemScreenRect(index), screen);
        child->show(at, options.owner);
        if (markFirst) child->setHovered(nextSelectable(item.children, -1, 1));
        levels.push_back(std::move(child));
    }

    void closeLevelsAfter(int level) {
        while (int(levels.size()) > level + 1) levels.pop_back();
    }

    void dismiss() { end(std::nullopt); }

    Display* display;
    // The windows refer to these.
    const std::vector<MenuItem> items;
    const PopupMenuOptions options;
    MenuEnded ended;
    Rect screen{0, 0, 0, 0};
    std::vector<std::unique_ptr<MenuWindow>> levels;
    bool pointerGrabbed = false;
    bool keyboardGrabbed = false;
    bool focusTaken = false;
    Window previousFocus = None;
    int previousRevert = RevertToParent;
    std::chrono::steady_clock::time_point openedAtTime;
    unsigned long firstSerial = 0;
    Point openedAt{0, 0};
    unsigned int startButtons = 0;
    unsigned int lastButtons = 0;
    bool trackedHeld = false;
    bool moved = false;
    bool pressedInside = false;
    bool finished = false;
    std::optional<int> chosen;
};

}  // namespace

std::unique_ptr<PopupMenu> PopupMenu::open(const std::vector<MenuItem>& items,
                                           const PopupMenuOptions& options, const ModalPump&,
                                           MenuEnded ended) {
    Display* display = items.empty() ? nullptr : x11::acquireDisplay();
    if (display) {
        auto menu = std::make_unique<X11PopupMenu>(display, items, options, ended);
        if (menu->show()) return menu;
    }
    if (ended) ended(std::nullopt);
    return nullptr;
}

}  // namespace platform

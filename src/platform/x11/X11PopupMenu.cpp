// The popup menu on X11: override-redirect windows of our own connection, one per open
// level, and a modal loop that holds the pointer and keyboard grabs while the host's
// thread stays inside it. Our other windows keep painting and the pump keeps turning.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

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

constexpr int kGrabAttempts = 20;
constexpr auto kGrabRetryDelay = std::chrono::milliseconds(10);
constexpr int kWaitMilliseconds = 15;
// Pointer travel that turns the release of the held button into a choice.
constexpr int kDragThreshold = 3;

bool isInputEvent(int type) {
    switch (type) {
        case KeyPress:
        case KeyRelease:
        case ButtonPress:
        case ButtonRelease:
        case MotionNotify:
        case EnterNotify:
        case LeaveNotify: return true;
        default: return false;
    }
}

class PopupSession : public x11::MenuEvents {
public:
    PopupSession(Display* display, const PopupMenuOptions& options)
        : display(display), options(options) {
        Screen* screenOfDisplay = DefaultScreenOfDisplay(display);
        screen = Rect{0, 0, WidthOfScreen(screenOfDisplay), HeightOfScreen(screenOfDisplay)};
    }

    ~PopupSession() override {
        if (pointerGrabbed) XUngrabPointer(display, CurrentTime);
        if (keyboardGrabbed) XUngrabKeyboard(display, CurrentTime);
        if (focusTaken && previousFocus != None)
            XSetInputFocus(display, previousFocus, previousRevert, CurrentTime);
        levels.clear();
        XSync(display, False);
    }

    std::optional<int> run(const std::vector<MenuItem>& items, const ModalPump& pump) {
        auto root = MenuWindow::create(display, items, options, *this);
        if (!root) return std::nullopt;
        Point at = placeMenu(root->layout().width, root->layout().height, options.position,
                             screen);
        root->show(at, options.owner);
        levels.push_back(std::move(root));
        takeGrabs();
        readPointer(openedAt, startButtons);
        unsigned int tracked = options.trackRightButton ? Button3Mask : Button1Mask;
        trackedHeld = startButtons & tracked;
        lastButtons = startButtons;

        int fd = ConnectionNumber(display);
        while (!finished) {
            while (!finished && XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                route(event);
            }
            if (finished) break;
            if (!pointerGrabbed) watchForOutsideClick();
            XFlush(display);
            if (pump && !pump()) return std::nullopt;
            if (finished || XPending(display) > 0) continue;
            pollfd waiting{fd, POLLIN, 0};
            poll(&waiting, 1, kWaitMilliseconds);
        }
        return chosen;
    }

    // Every event of our menu windows, whoever took it from the queue.
    void menuEvent(const XEvent& event) override {
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
    void takeGrabs() {
        Window grabWindow = levels.front()->window();
        unsigned int mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
        for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
            if (!pointerGrabbed)
                pointerGrabbed = XGrabPointer(display, grabWindow, False, mask, GrabModeAsync,
                                              GrabModeAsync, None, None,
                                              CurrentTime) == GrabSuccess;
            if (!keyboardGrabbed)
                keyboardGrabbed = XGrabKeyboard(display, grabWindow, False, GrabModeAsync,
                                                GrabModeAsync, CurrentTime) == GrabSuccess;
            if (pointerGrabbed && keyboardGrabbed) return;
            std::this_thread::sleep_for(kGrabRetryDelay);
        }
        // Without the keyboard grab the keys still reach us while the menu has the focus.
        if (!keyboardGrabbed) {
            x11::ErrorTrap trap;
            XGetInputFocus(display, &previousFocus, &previousRevert);
            XSetInputFocus(display, grabWindow, RevertToParent, CurrentTime);
            focusTaken = !trap.failed();
        }
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

    void route(XEvent& event) {
        x11::EventTarget* target = x11::findTarget(event.xany.window);
        if (!target) return;
        // Input meant for our other windows is swallowed while the menu is open.
        if (!ownsWindow(event.xany.window) && isInputEvent(event.type)) return;
        target->handleEvent(event, false);
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
            chosen = item.id;
            finished = true;
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

    void dismiss() {
        chosen.reset();
        finished = true;
    }

    Display* display;
    const PopupMenuOptions& options;
    Rect screen{0, 0, 0, 0};
    std::vector<std::unique_ptr<MenuWindow>> levels;
    bool pointerGrabbed = false;
    bool keyboardGrabbed = false;
    bool focusTaken = false;
    Window previousFocus = None;
    int previousRevert = RevertToParent;
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

std::optional<int> showPopupMenu(const std::vector<MenuItem>& items,
                                 const PopupMenuOptions& options, const ModalPump& pump) {
    if (items.empty()) return std::nullopt;
    Display* display = x11::acquireDisplay();
    if (!display) return std::nullopt;
    std::optional<int> chosen;
    {
        // The session's windows and grabs are gone before the connection may close.
        x11::ErrorTrap trap;
        PopupSession session(display, options);
        chosen = session.run(items, pump);
    }
    x11::releaseDisplay();
    return chosen;
}

}  // namespace platform

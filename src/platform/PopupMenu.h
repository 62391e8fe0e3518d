// A popup menu at a screen position: the user chooses one entry or dismisses it. It never
// holds the caller: the choice arrives later, through a callback.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ModalPump.h"
#include "platform/NativeWindow.h"
#include "platform/Types.h"

namespace platform {

enum class MenuItemKind {
    Command,    // chooses its id
    Separator,  // a line
    Title,      // shown enabled-looking but cannot be chosen
    Greyed,     // shown greyed and cannot be chosen
    Submenu,    // opens children beside it
};

struct MenuItem {
    MenuItemKind kind = MenuItemKind::Command;
    std::string label;
    int id = 0;
    bool checked = false;
    // This item starts a new column.
    bool columnBreak = false;
    std::vector<MenuItem> children;  // the items of a Submenu
};

struct PopupMenuOptions {
    // Top-left corner of the menu in screen coordinates; a menu that would cross a
    // screen edge opens the other way or is moved in.
    Point position{0, 0};
    // The window the menu belongs to (the editor's); the menu stays above it.
    WindowHandle owner = 0;
    // Which button the user holds: releasing it over an entry chooses the entry.
    bool trackRightButton = false;
    FontSpec font;
    Color text{0, 0, 0, 255};
    Color background{255, 255, 255, 255};
    Color highlight{0, 0, 128, 255};
    Color highlightText{255, 255, 255, 255};
    Color greyedText{128, 128, 128, 255};
};

// Told once how an open menu ended: the chosen command's id, or nothing when the user
// dismissed it (Escape, a click outside, the grab taken away) or it could not be shown.
using MenuEnded = std::function<void(std::optional<int> chosen)>;

class PopupMenu {
public:
    // Shows items. Pointer and keyboard are grabbed while the menu is open.
    // - X11: returns at once; the menu's events are handled with our windows' events in
    //   processPendingEvents, which also calls ended (outside every window's own handler).
    // - Windows: the system tracks the menu inside this call, turning pump meanwhile, and
    //   calls ended before it returns.
    // Null when nothing is left open: ended has then been called already.
    static std::unique_ptr<PopupMenu> open(const std::vector<MenuItem>& items,
                                           const PopupMenuOptions& options, const ModalPump& pump,
                                           MenuEnded ended);
    // Closes a menu still open without calling ended; grabs are released. ended may
    // destroy the menu.
    virtual ~PopupMenu() = default;
};

}  // namespace platform

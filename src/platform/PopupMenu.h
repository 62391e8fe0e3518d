// A modal popup menu at a screen position: the user chooses one entry or dismisses it.
#pragma once

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

// Shows items and returns the id of the chosen command; nothing when the user dismissed
// the menu (Escape, a click outside, the grab taken away) or the pump answered false.
// Pointer and keyboard are grabbed while it is open and released before it returns.
std::optional<int> showPopupMenu(const std::vector<MenuItem>& items,
                                 const PopupMenuOptions& options, const ModalPump& pump);

}  // namespace platform

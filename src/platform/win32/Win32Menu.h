// Our menu items as a native popup menu tree, with command ids that map back to our ids.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/PopupMenu.h"

namespace platform::win32 {

class NativeMenu {
public:
    // Command ids run from 1 in the order the commands are appended; 0 is "dismissed".
    explicit NativeMenu(const std::vector<MenuItem>& items);
    // Destroys the whole tree (sub-menus go with their parent).
    ~NativeMenu();
    NativeMenu(const NativeMenu&) = delete;
    NativeMenu& operator=(const NativeMenu&) = delete;

    HMENU handle() const { return root; }
    // Our id for what TrackPopupMenu answered; nothing for 0 or an id we never gave out.
    std::optional<int> idOf(UINT command) const;

private:
    HMENU build(const std::vector<MenuItem>& items);

    HMENU root = nullptr;
    std::vector<int> ids;  // command id n + 1 carries ids[n]
};

}  // namespace platform::win32

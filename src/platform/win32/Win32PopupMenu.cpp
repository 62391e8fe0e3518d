// The popup menu on Windows: the system's own menu, tracked modally by TrackPopupMenu inside
// open. The host's message loop runs inside the system's, and our pump turns from a timer;
// the menu's font and colours are the system's, not the ones in the options.
#include "platform/PopupMenu.h"
#include "platform/win32/Win32Menu.h"
#include "platform/win32/Win32ModalPumpTimer.h"

namespace platform {

namespace {

std::optional<int> track(const std::vector<MenuItem>& items, const PopupMenuOptions& options,
                         const ModalPump& pump) {
    if (items.empty()) return std::nullopt;
    HWND owner = reinterpret_cast<HWND>(options.owner);
    if (!owner || !IsWindow(owner)) return std::nullopt;
    win32::NativeMenu menu(items);
    if (!menu.handle()) return std::nullopt;
    UINT flags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN |
                 (options.trackRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    // The menu is kept on screen by the system: it opens the other way near an edge.
    win32::ModalPumpTimer turns(pump, [] { EndMenu(); });
    UINT command = UINT(TrackPopupMenu(menu.handle(), flags, options.position.x,
                                       options.position.y, 0, owner, nullptr));
    // The host may have closed the editor from inside the menu's loop.
    if (turns.editorClosed() || (pump && !pump())) return std::nullopt;
    return menu.idOf(command);
}

}  // namespace

std::unique_ptr<PopupMenu> PopupMenu::open(const std::vector<MenuItem>& items,
                                           const PopupMenuOptions& options, const ModalPump& pump,
                                           MenuEnded ended) {
    std::optional<int> chosen = track(items, options, pump);
    if (ended) ended(chosen);
    return nullptr;
}

}  // namespace platform

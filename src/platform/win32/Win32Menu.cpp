#include "platform/win32/Win32Menu.h"

#include <string>

namespace platform::win32 {

namespace {

// Command ids travel in the low word of WM_COMMAND, so they stay below 0x10000.
constexpr std::size_t kMaxCommands = 0xFFFF;

// A single '&' would underline the next letter ("Rock & Roll" as a mnemonic).
std::string menuLabel(const std::string& label) {
    std::string escaped;
    for (char c : label) {
        if (c == '&') escaped += '&';
        escaped += c;
    }
    return escaped;
}

}  // namespace

// Built in the body: building fills ids, which must exist by then.
NativeMenu::NativeMenu(const std::vector<MenuItem>& items) { root = build(items); }

NativeMenu::~NativeMenu() {
    if (root) DestroyMenu(root);
}

std::optional<int> NativeMenu::idOf(UINT command) const {
    if (command == 0 || command > ids.size()) return std::nullopt;
    return ids[command - 1];
}

HMENU NativeMenu::build(const std::vector<MenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (const MenuItem& item : items) {
        UINT flags = item.columnBreak ? MF_MENUBARBREAK : 0;
        UINT_PTR command = 0;
        std::string label = menuLabel(item.label);
        switch (item.kind) {
            case MenuItemKind::Separator:
                AppendMenuA(menu, flags | MF_SEPARATOR, 0, nullptr);
                continue;
            case MenuItemKind::Submenu: {
                HMENU child = build(item.children);
                if (!child) continue;
                // An empty sub-menu cannot be opened, so it is shown as such.
                if (item.children.empty()) flags |= MF_GRAYED;
                if (!AppendMenuA(menu, flags | MF_POPUP | MF_STRING,
                                 reinterpret_cast<UINT_PTR>(child), label.c_str()))
                    DestroyMenu(child);
                continue;
            }
            // Disabled without the grey: a heading in the text colour.
            case MenuItemKind::Title: flags |= MF_DISABLED; break;
            case MenuItemKind::Greyed: flags |= MF_GRAYED; break;
            case MenuItemKind::Command:
                if (ids.size() >= kMaxCommands) continue;
                ids.push_back(item.id);
                command = ids.size();
                break;
        }
        if (item.checked) flags |= MF_CHECKED;
        AppendMenuA(menu, flags | MF_STRING, command, label.c_str());
    }
    return menu;
}

}  // namespace platform::win32

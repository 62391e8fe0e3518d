// Controls of the headless popup menu, edit box, file dialogs and drops: answers are
// scripted before the toolkit asks, and what it asked for is recorded for inspection.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/DropTarget.h"
#include "platform/EditBox.h"
#include "platform/FileDialog.h"
#include "platform/PopupMenu.h"

namespace platform::headless {

// Popup menus. Each menu shown takes the next scripted answer (nothing scripted:
// dismissed) and ends with it at the end of an event pass (processPendingEvents), after
// `passes` passes more, as an X11 menu does; until then it is open. An answer is given as
// scripted, even an id no entry holds, so that stray answers can be tested. With
// answerMenusInsideOpen(true) menus end inside open instead, after one turn of the pump
// (dismissed when the pump answered false), as the system's menu does on Windows.
void answerNextMenu(std::optional<int> id, int passes = 0);
struct ShownMenu {
    std::vector<MenuItem> items;
    PopupMenuOptions options;
    int pumpTurns = 0;
};
std::optional<ShownMenu> lastMenu();
int menusShown();
int openMenuCount();
void answerMenusInsideOpen(bool inside);

// Edit boxes. They keep the real box's rules: at most EditBox::kMaxLength characters,
// only printable Latin-1 bytes, everything selected when opened (typing replaces it).
struct EditBoxState {
    WindowHandle parent = 0;
    Rect area{0, 0, 0, 0};
    EditBoxStyle style;
    std::string text;
    bool allSelected = false;
};
// The box created last, while it is still open.
std::optional<EditBoxState> openEditBox();
int editBoxesCreated();
// The following act on the box created last; false when it is closed.
bool typeIntoEditBox(const std::string& text);
// Return tells the listener, Back deletes the selection or the last character, a
// character key types it; other keys change nothing.
bool pressEditBoxKey(const Key& key);
bool editBoxLoseFocus();

// File dialogs, as menus: the next scripted path (nothing scripted: cancelled) at the end
// of a pass, `passes` passes later, or inside open with answerFileDialogsInsideOpen(true).
void answerNextFileDialog(std::optional<std::string> path, int passes = 0);
std::optional<FileDialogOptions> lastFileDialog();
int fileDialogsShown();
int openFileDialogCount();
void answerFileDialogsInsideOpen(bool inside);

// Drags from another application, delivered at once to the window's drop target.
struct DragData {
    static DragData text(std::string text);
    static DragData files(std::vector<std::string> paths);
    // 1 for text, the number of files for a file list: what the listener is told.
    int itemCount() const;

    std::optional<std::string> textItem;
    std::vector<std::string> filePaths;
};
bool isDropTarget(WindowHandle window);
// Enter and move put the pointer at screen (left button held, as during a drag); leave
// and drop release the button. Each answers false when window takes no drops.
bool dragEnter(WindowHandle window, const DragData& data, Point screen);
bool dragMove(WindowHandle window, Point screen);
bool dragLeave(WindowHandle window);
bool drop(WindowHandle window);

// Forgets scripted answers and records; open boxes, menus, dialogs and drop targets stay.
void resetServices();

}  // namespace platform::headless

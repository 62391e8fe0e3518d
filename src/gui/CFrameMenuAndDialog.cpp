// The frame's one popup menu and one file dialog. Both may end inside their open call (the
// system's modal loops on Windows, whose pump may let the host close the editor) or in a
// later event pass (X11). The frame is held while they open and while the owner hears of
// the end, since the owner's reaction may close the editor too; a frame the editor has
// let go tells nobody.
#include <utility>

#include "gui/CFrame.h"

bool CFrame::openPopupMenu(CView* owner, const std::vector<platform::MenuItem>& items,
                           const platform::PopupMenuOptions& options, platform::MenuEnded ended) {
    if (!pEditor || !owner) return false;
    remember();
    dismissPopupMenu();
    const bool opened = pEditor != nullptr;
    if (opened) {
        owner->remember();
        popupMenuOwner = owner;
        popupMenuEnded = std::move(ended);
        auto menu = platform::PopupMenu::open(
            items, options, modalPump(), [this, owner](std::optional<int> chosen) {
                // A menu the frame closed never calls; one that ended inside open did.
                if (popupMenuOwner == owner) endPopupMenu(chosen);
            });
        if (menu && popupMenuOwner == owner) popupMenu = std::move(menu);
    }
    forget();
    return opened;
}

void CFrame::dismissPopupMenu() { endPopupMenu(std::nullopt); }

void CFrame::endPopupMenu(std::optional<int> chosen) {
    CView* owner = popupMenuOwner;
    if (!owner) return;
    // The platform's menu may be destroyed from inside its own report.
    popupMenu.reset();
    platform::MenuEnded tell = std::move(popupMenuEnded);
    popupMenuOwner = nullptr;
    remember();
    if (tell && pEditor) tell(chosen);
    owner->forget();
    forget();
}

bool CFrame::openFileDialog(const platform::FileDialogOptions& options,
                            platform::FileDialogEnded ended) {
    if (!pEditor || isFileDialogOpen()) return false;
    remember();
    fileDialogOpening = true;
    auto dialog = platform::FileDialog::open(
        options, modalPump(), [this, ended = std::move(ended)](const std::string& path) {
            std::unique_ptr<platform::FileDialog> finished = std::move(fileDialog);
            fileDialogOpening = false;
            remember();
            if (ended && pEditor) ended(path);
            forget();
        });
    // Still open unless it ended inside open.
    if (fileDialogOpening && pEditor) fileDialog = std::move(dialog);
    fileDialogOpening = false;
    forget();
    return true;
}

void CFrame::closeMenuAndDialog() {
    popupMenu.reset();
    popupMenuEnded = nullptr;
    if (CView* owner = popupMenuOwner) {
        popupMenuOwner = nullptr;
        owner->forget();
    }
    fileDialog.reset();
}

// Stand-ins until the X11 popup menu, edit box, file dialogs and drops land: every
// service reports that it is not available. Delete this file when they do.
#include "platform/DropTarget.h"
#include "platform/EditBox.h"
#include "platform/FileDialog.h"
#include "platform/PopupMenu.h"

namespace platform {

std::optional<int> showPopupMenu(const std::vector<MenuItem>&, const PopupMenuOptions&,
                                 const ModalPump&) {
    return std::nullopt;
}

std::unique_ptr<EditBox> EditBox::create(NativeWindow&, const Rect&, const std::string&,
                                         const EditBoxStyle&, EditBoxListener&) {
    return nullptr;
}

std::string showFileDialog(const FileDialogOptions&, const ModalPump&) { return std::string(); }

std::unique_ptr<DropTarget> DropTarget::create(NativeWindow&, DropListener&) { return nullptr; }

}  // namespace platform

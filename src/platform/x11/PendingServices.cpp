// Stand-ins until the X11 file dialogs and drops land: they report that they are not
// available. Delete this file when they do.
#include "platform/DropTarget.h"
#include "platform/FileDialog.h"

namespace platform {

std::string showFileDialog(const FileDialogOptions&, const ModalPump&) { return std::string(); }

std::unique_ptr<DropTarget> DropTarget::create(NativeWindow&, DropListener&) { return nullptr; }

}  // namespace platform

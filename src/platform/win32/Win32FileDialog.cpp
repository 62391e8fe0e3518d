// File dialogs on Windows: the common open and save dialogs. They run their own modal
// loop, through which our windows keep painting.
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/win32/Win32FileDialogRequest.h"

namespace platform {

std::string showFileDialog(const FileDialogOptions& options, const ModalPump& pump) {
    win32::FileDialogRequest request(options);
    std::string path;
    win32::DialogOutcome outcome = request.run(path);
    // The host may have closed the editor while the dialog was open.
    if (pump && !pump()) return "";
    if (outcome == win32::DialogOutcome::TooLong)
        showMessageBox(options.title.c_str(), "The chosen path is too long for this system.",
                       MessageBoxIcon::Error);
    return outcome == win32::DialogOutcome::Chosen ? path : "";
}

}  // namespace platform

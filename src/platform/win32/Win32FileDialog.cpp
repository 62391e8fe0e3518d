// File dialogs on Windows: the common open and save dialogs. They run their own modal
// loop, through which our windows keep painting and the host keeps its idle calls.
#include <algorithm>
#include <vector>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/win32/Win32FileDialogRequest.h"
#include "platform/win32/Win32ModalPumpTimer.h"

namespace platform {

namespace {

// The thread's dialog windows owned by owner.
std::vector<HWND> dialogsOwnedBy(HWND owner) {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char name[16] = {};
            if (GetWindow(window, GW_OWNER) == s->owner &&
                GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32770") == 0)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string runDialog(const FileDialogOptions& options, const ModalPump& pump) {
    win32::FileDialogRequest request(options);
    const HWND owner = request.structure().hwndOwner;
    // Dialogs the host had open before ours are not ours to cancel.
    const std::vector<HWND> before = dialogsOwnedBy(owner);
    win32::ModalPumpTimer turns(pump, [owner, &before] {
        for (HWND dialog : dialogsOwnedBy(owner))
            if (std::find(before.begin(), before.end(), dialog) == before.end())
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    std::string path;
    win32::DialogOutcome outcome = request.run(path);
    // The host may have closed the editor while the dialog was open.
    if (turns.editorClosed() || (pump && !pump())) return "";
    if (outcome == win32::DialogOutcome::TooLong)
        showMessageBox(options.title.c_str(), "The chosen path is too long for this system.",
                       MessageBoxIcon::Error);
    return outcome == win32::DialogOutcome::Chosen ? path : "";
}

}  // namespace

std::unique_ptr<FileDialog> FileDialog::open(const FileDialogOptions& options,
                                             const ModalPump& pump, FileDialogEnded ended) {
    std::string path = runDialog(options, pump);
    if (ended) ended(path);
    return nullptr;
}

}  // namespace platform

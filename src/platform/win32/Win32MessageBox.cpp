// The system's message box, modal for every window of the thread: it has no owner, as the
// editor may be closed while it is open.
#include "platform/MessageBox.h"
#include "platform/win32/Win32Module.h"

namespace platform {

namespace {

UINT iconStyle(MessageBoxIcon icon) {
    switch (icon) {
        case MessageBoxIcon::Error: return MB_ICONERROR;
        case MessageBoxIcon::Warning: return MB_ICONWARNING;
        default: return MB_ICONINFORMATION;
    }
}

}  // namespace

void showMessageBox(const char* title, const char* text, MessageBoxIcon icon) {
    MessageBoxA(nullptr, text ? text : "", title ? title : "",
                MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | iconStyle(icon));
}

}  // namespace platform

#include "platform/win32/Win32WindowClass.h"

#include <cstdio>

namespace platform::win32 {

SharedWindowClass::SharedWindowClass(const char* prefix, WNDPROC procedure, HBRUSH background)
    : procedure(procedure), background(background) {
    char name[64];
    std::snprintf(name, sizeof(name), "%s%p", prefix, static_cast<void*>(ownModule()));
    className = name;
}

bool SharedWindowClass::acquire() {
    if (users == 0) {
        // No CS_DBLCLKS: the toolkit times double clicks itself from plain presses.
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ownModule();
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = className.c_str();
        if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    ++users;
    return true;
}

void SharedWindowClass::release() {
    if (users <= 0) return;
    if (--users == 0) UnregisterClassA(className.c_str(), ownModule());
}

}  // namespace platform::win32

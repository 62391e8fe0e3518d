// A window class of our own module, registered while one of its windows exists. The name
// carries the module's address, so that two copies of the library (or a host with a class
// of the same name) never meet, and the class goes away before the library can unload.
#pragma once

#include <string>

#include "platform/win32/Win32Module.h"

namespace platform::win32 {

class SharedWindowClass {
public:
    SharedWindowClass(const char* prefix, WNDPROC procedure, HBRUSH background);
    SharedWindowClass(const SharedWindowClass&) = delete;
    SharedWindowClass& operator=(const SharedWindowClass&) = delete;

    // Registers the class for its first window; false when the system refuses.
    bool acquire();
    // Unregisters it after its last window has been destroyed.
    void release();
    const char* name() const { return className.c_str(); }

private:
    std::string className;
    WNDPROC procedure;
    HBRUSH background;
    int users = 0;
};

}  // namespace platform::win32

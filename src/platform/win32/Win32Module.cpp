#include "platform/win32/Win32Module.h"

namespace platform::win32 {

HMODULE ownModule() {
    // The module holding this very function; no reference is taken, so no FreeLibrary.
    static HMODULE module = [] {
        HMODULE found = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&ownModule), &found);
        return found;
    }();
    return module;
}

}  // namespace platform::win32

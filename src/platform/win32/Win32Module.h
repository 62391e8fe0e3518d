// The module (DLL or program) our code is linked into: its resources and its window
// classes, not those of the host program that loaded it.
#pragma once

#include <windows.h>

namespace platform::win32 {

HMODULE ownModule();

}  // namespace platform::win32

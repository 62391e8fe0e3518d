// The module (DLL or program) our code is linked into: its resources and its window
// classes, not those of the host program that loaded it.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace platform::win32 {

HMODULE ownModule();

}  // namespace platform::win32

// What the Win32 backend's services know of the child windows open now.
#pragma once

#include <vector>

#include "platform/win32/Win32Module.h"

namespace platform::win32 {

// Our child windows that exist, oldest first.
const std::vector<HWND>& openWindows();
bool anyWindowOpen();

}  // namespace platform::win32

// What the Win32 backend's services know of the child windows open now.
#pragma once

#include <vector>

#include "platform/win32/Win32Module.h"

namespace platform::win32 {

// Our child windows that exist, oldest first.
const std::vector<HWND>& openWindows();
bool anyWindowOpen();

// A button press one of our windows received (a PointerBits button). Under Wine the live
// state can show that button up for a moment after its message arrived; the pointer state
// counts it as held until the live state or a release catches up.
void noteButtonPressed(int button);

}  // namespace platform::win32

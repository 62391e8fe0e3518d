// What the Win32 backend's services know of the child windows open now.
#pragma once

#include <vector>

#include "platform/win32/Win32Module.h"

namespace platform::win32 {

// Our child windows that exist, oldest first.
const std::vector<HWND>& openWindows();
bool anyWindowOpen();

// A button press message reached one of our windows (a PointerBits button). The live
// state may lag behind it (Wine answers from a cache up to 50 ms old), so the pointer state
// counts the button as held until that state shows it or its release is on the way.
void notePressMessage(int button);
// Its release message came: nothing is left to catch up.
void noteReleaseMessage(int button);

}  // namespace platform::win32

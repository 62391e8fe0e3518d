// What the Win32 backend's services know of the child windows open now.
#pragma once

#include <vector>

#include "platform/win32/Win32Module.h"

namespace platform::win32 {

// Our child windows that exist, oldest first.
const std::vector<HWND>& openWindows();
bool anyWindowOpen();

// A button press message reached one of our windows. The asynchronous key state may lag
// behind it (Wine answers from a cache up to 50 ms old), so for a short while after the
// message the pointer state counts the button as held even when that state does not yet.
void notePressMessage(int button);
// Its release message came: the lag is over.
void noteReleaseMessage(int button);

}  // namespace platform::win32

#include "platform/Clock.h"
#include "platform/win32/Win32Module.h"

namespace platform {

// Wraps after 49.7 days like the host's own tick count; the idle pump only compares
// nearby values.
int32_t tickCount() { return static_cast<int32_t>(GetTickCount()); }

void sleepMilliseconds(int milliseconds) {
    if (milliseconds > 0) Sleep(DWORD(milliseconds));
}

}  // namespace platform

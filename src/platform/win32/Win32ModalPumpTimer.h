// The system's own modal loops (a tracked popup menu, a common dialog) run our pump from a
// timer, as every modal loop of ours does between its own events: the host keeps its idle
// calls, and once the pump answers false (the host closed the editor meanwhile) the loop
// is ended at once instead of waiting on for the user.
#pragma once

#include <functional>

#include "platform/ModalPump.h"
#include "platform/win32/Win32Module.h"

namespace platform::win32 {

class ModalPumpTimer {
public:
    // endLoop ends the system's loop; it runs once, on the thread that made the timer.
    ModalPumpTimer(ModalPump pump, std::function<void()> endLoop);
    ~ModalPumpTimer();
    ModalPumpTimer(const ModalPumpTimer&) = delete;
    ModalPumpTimer& operator=(const ModalPumpTimer&) = delete;

    // The pump answered false while the loop ran.
    bool editorClosed() const { return closed; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD);

    ModalPump pump;
    std::function<void()> endLoop;
    UINT_PTR timer = 0;
    bool closed = false;
    bool turning = false;
    ModalPumpTimer* outer;
};

}  // namespace platform::win32

#include "platform/win32/Win32ModalPumpTimer.h"

namespace platform::win32 {

namespace {

// About the host's own idle rate.
constexpr UINT kTurnMilliseconds = 30;

// The innermost loop's timer; loops nest on one thread only.
thread_local ModalPumpTimer* current = nullptr;

}  // namespace

ModalPumpTimer::ModalPumpTimer(ModalPump pump, std::function<void()> endLoop)
    : pump(std::move(pump)), endLoop(std::move(endLoop)), outer(current) {
    current = this;
    if (this->pump) timer = SetTimer(nullptr, 0, kTurnMilliseconds, &ModalPumpTimer::tick);
}

ModalPumpTimer::~ModalPumpTimer() {
    if (timer) KillTimer(nullptr, timer);
    current = outer;
}

void CALLBACK ModalPumpTimer::tick(HWND, UINT, UINT_PTR id, DWORD) {
    ModalPumpTimer* self = current;
    if (!self || self->timer != id || self->turning || self->closed) return;
    // The pump dispatches messages, this timer's among them: no turn inside a turn.
    self->turning = true;
    const bool open = self->pump();
    self->turning = false;
    if (open) return;
    self->closed = true;
    KillTimer(nullptr, self->timer);
    self->timer = 0;
    if (self->endLoop) self->endLoop();
}

}  // namespace platform::win32

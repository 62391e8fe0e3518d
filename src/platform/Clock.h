// Milliseconds and a short sleep, for the editor's idle pump.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
int32_t tickCount();
void sleepMilliseconds(int milliseconds);

}  // namespace platform

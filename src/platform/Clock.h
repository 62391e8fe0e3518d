// Milliseconds and a short sleep, for the editor's idle pump; the calling thread's CPU
// time, for measurements of the tools.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
int32_t tickCount();
void sleepMilliseconds(int milliseconds);
// Seconds of CPU time the calling thread has used so far.
double threadCpuSeconds();

}  // namespace platform

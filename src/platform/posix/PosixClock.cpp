#include <time.h>

#include "platform/Clock.h"

namespace platform {

int32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    int64_t milliseconds = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    return static_cast<int32_t>(static_cast<uint32_t>(milliseconds));
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void sleepMilliseconds(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec wait{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
}

}  // namespace platform

#include <windows.h>

#include "platform/Clock.h"

namespace platform {

double threadCpuSeconds() {
    FILETIME creation, exit, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &creation, &exit, &kernel, &user)) return 0.0;
    auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    // FILETIME counts 100-nanosecond intervals.
    return double(ticks(kernel) + ticks(user)) * 1e-7;
}

}  // namespace platform

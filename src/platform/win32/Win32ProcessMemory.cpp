#include <windows.h>
#include <psapi.h>

#include "platform/ProcessMemory.h"

namespace platform {

std::size_t residentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return counters.WorkingSetSize;
}

}  // namespace platform

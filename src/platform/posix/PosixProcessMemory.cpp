#include <unistd.h>

#include <cstdio>

#include "platform/ProcessMemory.h"

namespace platform {

std::size_t residentBytes() {
    // The second field of statm: resident pages.
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    unsigned long size = 0, resident = 0;
    int read = std::fscanf(statm, "%lu %lu", &size, &resident);
    std::fclose(statm);
    if (read != 2) return 0;
    return std::size_t(resident) * std::size_t(sysconf(_SC_PAGESIZE));
}

}  // namespace platform

// How much memory the process holds, for the tools' measurements.
#pragma once

#include <cstddef>

namespace platform {

// Bytes of the process resident in memory now; 0 when the system does not say.
std::size_t residentBytes();

}  // namespace platform

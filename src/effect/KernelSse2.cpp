// The kernel for every x86-64 CPU: two lanes of SSE2.
#include "effect/Kernel.h"
#include "effect/KernelPasses.h"

namespace kernel {

const Variant kSse2Variant = {"sse2", compressBlock<krvmath::Sse2Lanes, float>,
                              compressBlock<krvmath::Sse2Lanes, double>};

}  // namespace kernel

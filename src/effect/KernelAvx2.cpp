// The kernel in four lanes: built with -mavx2 and without FMA (see CMakeLists.txt), used
// only after krvmath::avx2Available().
#include "effect/Kernel.h"
#include "effect/KernelPasses.h"

#if !defined(__AVX2__) || defined(__FMA__)
#error "this file must be built with AVX2 and without FMA"
#endif

namespace kernel {

const Variant kAvx2Variant = {"avx2", compressBlock<krvmath::Avx2Lanes, float>,
                              compressBlock<krvmath::Avx2Lanes, double>};

}  // namespace kernel

#include "effect/Kernel.h"

#include <cstdlib>
#include <cstring>

#include "effect/math/KrvMath.h"

namespace kernel {

const Variant& chooseVariant() {
    const char* forced = std::getenv("KRV_SIMD");
    if (forced && std::strcmp(forced, "sse2") == 0) return kSse2Variant;
    return krvmath::avx2Available() ? kAvx2Variant : kSse2Variant;
}

}  // namespace kernel

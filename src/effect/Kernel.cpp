#include "effect/Kernel.h"

#include <cstdlib>
#include <cstring>

#include "effect/math/KrvMath.h"

namespace kernel {

ChunkSettings readChunkSettings(const SignalParameters& p) {
    return {relaxed(p.processMode), relaxed(p.ratioIndex), relaxed(p.timeScale),
            relaxed(p.inputGainTarget), relaxed(p.outputGainTarget)};
}

void publishMeter(std::atomic<double>& meterGain, double value) {
    meterGain.store(value, std::memory_order_relaxed);
}

const Variant& chooseVariant() {
    const char* forced = std::getenv("KRV_SIMD");
    if (forced && std::strcmp(forced, "sse2") == 0) return kSse2Variant;
    return krvmath::avx2Available() ? kAvx2Variant : kSse2Variant;
}

}  // namespace kernel

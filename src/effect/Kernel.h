// The compressor kernel in one build per instruction set: SSE2 (every x86-64 CPU) and AVX2
// without FMA, chosen once per effect. Both compute every value in the same order with
// IEEE-754 double operations only, so they give the same bits; the AVX2 build does four
// frames per instruction where the SSE2 build does two.
#pragma once

#include <atomic>

#include "effect/OptoCompressor.h"

namespace kernel {

// The parameter values one chunk works with.
struct ChunkSettings {
    int processMode;
    int ratioIndex;
    double timeScale;
    double inputGainTarget;
    double outputGainTarget;
};

// What the kernel reads and writes of the values other threads share, out of line in a file
// built for every CPU, so that no build of the kernel carries the atomics' code.
ChunkSettings readChunkSettings(const SignalParameters& parameters);
void publishMeter(std::atomic<double>& meterGain, double value);

struct Variant {
    const char* name;  // "sse2" or "avx2"
    // One block of compress() (OptoCompressor.h says what it promises); the meter's value
    // goes to meterGain once per chunk.
    void (*compressFloat)(OptoCompressor::State& state, const SignalParameters& parameters,
                          const float* in0, const float* in1, float* out0, float* out1,
                          int frames, std::atomic<double>& meterGain);
    void (*compressDouble)(OptoCompressor::State& state, const SignalParameters& parameters,
                           const double* in0, const double* in1, double* out0, double* out1,
                           int frames, std::atomic<double>& meterGain);
};

extern const Variant kSse2Variant;
extern const Variant kAvx2Variant;  // only on a CPU with AVX2

// AVX2 when the CPU has it, else SSE2; KRV_SIMD=sse2 or avx2 in the environment forces one
// (avx2 only where the CPU has it). Reads the environment: call it once, not per block.
const Variant& chooseVariant();

}  // namespace kernel

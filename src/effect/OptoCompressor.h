// The signal path: drive, stereo-linked detector with a programme-dependent opto cell,
// seven gain curves, optional valve stage and make-up. All arithmetic in double precision.
#pragma once

#include <atomic>

#include "effect/CBiquad.h"
#include "effect/NoiseFloor.h"
#include "effect/SignalParameters.h"

namespace kernel {
struct Variant;
}

class OptoCompressor {
public:
    explicit OptoCompressor(const SignalParameters& parameters);

    // Snaps the gains to their targets and resets the detector; the meter shows no reduction.
    void suspend();
    // Designs every section for the reported rate; the detector falls back to 44100 Hz
    // outside 20 kHz..200 kHz.
    void resume(double reportedRate);

    // One block. in1/out1 may be the same buffers as in0/out0 (mono configurations) and the
    // outputs may be the inputs (in-place processing): each sample's inputs are read before
    // its outputs are written, channel 0 before channel 1.
    template <typename Sample>
    void compress(const Sample* in0, const Sample* in1, Sample* out0, Sample* out1, int frames);
    // "Off": the audio passes bit for bit; only the meter moves, back towards no reduction.
    template <typename Sample>
    void bypass(const Sample* in0, const Sample* in1, Sample* out0, Sample* out1, int frames);

    double getMeterGain() const { return meterGain.load(std::memory_order_relaxed); }
    // The rate the detector is designed for: the reported one within 20 kHz..200 kHz,
    // else 44100 Hz.
    static double sanitisedRate(double reportedRate);

    // Everything the kernel carries from sample to sample. Copied into a local for each
    // block and written back after it, so the loop works on registers.
    struct State {
        CBiquad sidechainHighPassLeft{44100.0, CBiquad::kHighPass, 40.0, 0.3};
        CBiquad sidechainHighPassRight{44100.0, CBiquad::kHighPass, 40.0, 0.3};
        CBiquad fastAverage{44100.0, CBiquad::kLowPass, 5.0, 0.5};
        CBiquad slowAverage{44100.0, CBiquad::kLowPass, 20.0, 0.5};
        CBiquad optoCell{44100.0, CBiquad::kLowPass, 1.0, 0.1};
        CBiquad meterSmoother{44100.0, CBiquad::kLowPass, 2.0, 0.583};
        double inputGain = 0.0;
        double inputGainInverse = 0.0;
        double outputGain = 0.0;
        double gainSmoothOffset = 1e-17;
        NoiseFloor noise;
        double envelope = 0.0001;  // the opto cell's output: the detector's power estimate
    };
    const State& getState() const { return state; }
    // The kernel's instruction set ("sse2" or "avx2"), chosen once at construction: the
    // same bits either way.
    const char* vectorMath() const;

private:
    const SignalParameters& parameters;
    const kernel::Variant& variant;
    State state;
    // Written every sample on the audio thread, read by the editor's idle.
    std::atomic<double> meterGain{1.0};
};

#include "effect/OptoCompressor.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "effect/Kernel.h"

namespace {

constexpr double kMeterFrequency = 1000.0 * 0.7 / 300.0;
constexpr int kMeterSettlingSteps = 44100;

// Redesigns the detector sections with their own settings and empties their history.
void resetDetector(OptoCompressor::State& s) {
    for (CBiquad* section : {&s.sidechainHighPassLeft, &s.sidechainHighPassRight, &s.optoCell,
                             &s.fastAverage, &s.slowAverage}) {
        section->design();
        section->clear();
    }
    s.envelope = 0.0001;
}

}  // namespace

OptoCompressor::OptoCompressor(const SignalParameters& parameters)
    : parameters(parameters), variant(kernel::chooseVariant()) {
    for (CBiquad* section :
         {&state.sidechainHighPassLeft, &state.sidechainHighPassRight, &state.fastAverage,
          &state.slowAverage, &state.optoCell, &state.meterSmoother})
        section->design();
    // Start the meter settled at no reduction.
    state.meterSmoother.clear();
    state.meterSmoother.design();
    for (int i = 0; i < kMeterSettlingSteps; ++i) state.meterSmoother.step(1.0);
}

const char* OptoCompressor::vectorMath() const { return variant.name; }

double OptoCompressor::sanitisedRate(double reportedRate) {
    return reportedRate >= 20000.0 && reportedRate <= 200000.0 ? reportedRate : 44100.0;
}

void OptoCompressor::suspend() {
    state.inputGain = relaxed(parameters.inputGainTarget);
    state.outputGain = relaxed(parameters.outputGainTarget);
    resetDetector(state);
    meterGain.store(1.0, std::memory_order_relaxed);
}

void OptoCompressor::resume(double reportedRate) {
    const double rate = sanitisedRate(reportedRate);
    // The meter runs at the reported rate whatever it is; only a rate that cannot be
    // designed for (zero, negative, not finite) falls back like the detector does.
    CBiquad& meter = state.meterSmoother;
    meter.sampleRate = reportedRate > 0.0 && std::isfinite(reportedRate) ? reportedRate : rate;
    if (meter.frequency > 0.499 * rate) meter.frequency = 0.499 * rate;
    meter.design();
    meter.frequency = kMeterFrequency;
    meter.design();

    state.gainSmoothOffset = 1e-17;

    CBiquad& cell = state.optoCell;
    cell.sampleRate = rate;
    if (cell.frequency > 0.499 * rate) cell.frequency = 0.499 * rate;
    cell.design();
    cell.clear();

    for (CBiquad* average : {&state.fastAverage, &state.slowAverage}) {
        average->sampleRate = rate;
        average->q = 0.5;
    }
    state.fastAverage.frequency = 5.0;
    state.slowAverage.frequency = 2.0;
    for (CBiquad* average : {&state.fastAverage, &state.slowAverage}) {
        average->design();
        average->clear();
    }

    for (CBiquad* highPass : {&state.sidechainHighPassLeft, &state.sidechainHighPassRight}) {
        highPass->sampleRate = rate;
        if (highPass->frequency > 0.499 * rate) highPass->frequency = 0.499 * rate;
        highPass->design();
        highPass->clear();
    }

    state.inputGain = relaxed(parameters.inputGainTarget);
    state.outputGain = relaxed(parameters.outputGainTarget);
}

template <typename Sample>
void OptoCompressor::bypass(const Sample* in0, const Sample* in1, Sample* out0, Sample* out1,
                            int frames) {
    CBiquad meter = state.meterSmoother;
    double gain = getMeterGain();
    for (int i = 0; i < frames; ++i) {
        const double left = in0[i];
        const double right = in1[i];
        out0[i] = static_cast<Sample>(left);
        out1[i] = static_cast<Sample>(right);
        gain = meter.step(1.0);
    }
    state.meterSmoother = meter;
    meterGain.store(gain, std::memory_order_relaxed);
}

// Chunk by chunk, pass by pass: effect/KernelPasses.h.
template <typename Sample>
void OptoCompressor::compress(const Sample* in0, const Sample* in1, Sample* out0, Sample* out1,
                              int frames) {
    if constexpr (sizeof(Sample) == sizeof(float))
        variant.compressFloat(state, parameters, in0, in1, out0, out1, frames, meterGain);
    else
        variant.compressDouble(state, parameters, in0, in1, out0, out1, frames, meterGain);
}

template void OptoCompressor::compress<float>(const float*, const float*, float*, float*, int);
template void OptoCompressor::compress<double>(const double*, const double*, double*, double*, int);
template void OptoCompressor::bypass<float>(const float*, const float*, float*, float*, int);
template void OptoCompressor::bypass<double>(const double*, const double*, double*, double*, int);

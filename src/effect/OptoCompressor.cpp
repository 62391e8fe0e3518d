#include "effect/OptoCompressor.h"

#include <cmath>
#include <initializer_list>

#include "effect/GainCurves.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
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

// The opto cell follows the programme: fc is recomputed every sample from the ratio of
// the fast to the slow average, without the near-Nyquist Q reduction of design().
void redesignOptoCell(CBiquad& cell, double fc) {
    cell.frequency = fc;
    if (fc < 0.001)
        fc = 0.001;
    else if (fc > 0.499 * cell.sampleRate)
        fc = 0.499 * cell.sampleRate;
    const double w = fc * kTwoPi / cell.sampleRate;
    const double cosW = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * cell.q);
    cell.a0 = 1.0 + alpha;
    const double k = 1.0 / cell.a0;
    cell.a1 = -2.0 * cosW * k;
    cell.a2 = (1.0 - alpha) * k;
    cell.b1 = (1.0 - cosW) * k;
    cell.b0 = cell.b2 = 0.5 * (1.0 - cosW) * k;
}

}  // namespace

OptoCompressor::OptoCompressor(const SignalParameters& parameters) : parameters(parameters) {
    for (CBiquad* section :
         {&state.sidechainHighPassLeft, &state.sidechainHighPassRight, &state.fastAverage,
          &state.slowAverage, &state.optoCell, &state.meterSmoother})
        section->design();
    // Start the meter settled at no reduction.
    state.meterSmoother.clear();
    state.meterSmoother.design();
    for (int i = 0; i < kMeterSettlingSteps; ++i) state.meterSmoother.step(1.0);
}

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

template <typename Sample>
void OptoCompressor::compress(const Sample* in0, const Sample* in1, Sample* out0, Sample* out1,
                              int frames) {
    State s = state;
    const ValveCurve valve = valveCurveFor(relaxed(parameters.ratioIndex));

    for (int i = 0; i < frames; ++i) {
        const double inL = in0[i];
        const double inR = in1[i];

        // Drive and make-up glide towards their targets; the alternating offset keeps
        // the smoothers out of denormals.
        s.gainSmoothOffset = -s.gainSmoothOffset;
        s.outputGain = s.outputGain + 0.001 * (relaxed(parameters.outputGainTarget) - s.outputGain) +
                       s.gainSmoothOffset;
        s.inputGain = s.inputGain + 0.001 * (relaxed(parameters.inputGainTarget) - s.inputGain) +
                      s.gainSmoothOffset;
        s.inputGainInverse = 1.0 / s.inputGain;

        const double noiseL = NoiseFloor::toNoise(s.noise.nextWord());
        const double noiseR = NoiseFloor::toNoise(s.noise.nextWord());
        const double xL = inL * s.inputGain + noiseL;
        const double xR = inR * s.inputGain + noiseR;

        // Stereo-linked detector power, without the lowest bass.
        const double hL = s.sidechainHighPassLeft.step(xL);
        const double hR = s.sidechainHighPassRight.step(xR);
        const double p = (hL * hL + hR * hR) * 0.7071;

        // Transients open the cell (fast average above the slow one), decays close it.
        double fast = s.fastAverage.step(p);
        double slow = s.slowAverage.step(p);
        if (fast < 1e-6) fast = 1e-6;
        if (slow < 1e-6) slow = 1e-6;
        const double ratio = 0.2 * fast / slow;
        const double fc = (4.0 * ratio / (ratio + 1.0) + 0.1) * 0.7 / relaxed(parameters.timeScale);
        redesignOptoCell(s.optoCell, fc);

        // Attack runs the cell ten times per sample, release once.
        if (p > s.envelope) {
            s.optoCell.stepFourTimes(p);
            s.optoCell.stepFourTimes(p);
            s.optoCell.step(p);
            s.envelope = s.optoCell.step(p);
        } else {
            s.envelope = s.optoCell.step(p);
        }
        if (s.envelope < 0.001) s.envelope = 0.001;
        if (!std::isfinite(s.envelope)) {
            // Non-finite input poisoned the detector's history; start it afresh so the
            // next finite sample is processed normally.
            s.optoCell.frequency = 1.0;
            resetDetector(s);
            s.envelope = 0.001;
        }

        const double gain = ratioCurve(relaxed(parameters.ratioIndex), std::sqrt(s.envelope));
        meterGain.store(s.meterSmoother.step(gain), std::memory_order_relaxed);

        double yL = gain * xL;
        double yR = gain * xR;
        if (relaxed(parameters.processMode) == SignalParameters::kValve) {
            yL = valve.shape(yL);
            yR = valve.shape(yR);
        }
        out0[i] = static_cast<Sample>(yL * s.inputGainInverse * s.outputGain);
        out1[i] = static_cast<Sample>(yR * s.inputGainInverse * s.outputGain);
    }
    state = s;
}

template void OptoCompressor::compress<float>(const float*, const float*, float*, float*, int);
template void OptoCompressor::compress<double>(const double*, const double*, double*, double*, int);
template void OptoCompressor::bypass<float>(const float*, const float*, float*, float*, int);
template void OptoCompressor::bypass<double>(const double*, const double*, double*, double*, int);

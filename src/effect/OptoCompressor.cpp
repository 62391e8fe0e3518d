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

// What one sample needs from the gain smoothers and the side chain before the opto cell
// runs. The kernel prepares it one sample ahead, so that the divisions that move the cell
// overlap the previous sample's cell steps; every value is still computed as written.
struct SideChain {
    double xL, xR;           // driven audio, noise included
    double inverse, makeUp;  // 1 / drive and make-up of this sample
    double p;                // linked detector power
    double fc;               // the cell's cut-off as computed, before limiting
    double a0, a1, a2, b0, b1, b2;
};

// Detector power and the opto cell's new coefficients. The cell follows the programme:
// its cut-off rises with the ratio of the fast to the slow average, and it is designed
// without the near-Nyquist Q reduction of design().
void detect(OptoCompressor::State& s, const SignalParameters& parameters, SideChain& c) {
    const double hL = s.sidechainHighPassLeft.step(c.xL);
    const double hR = s.sidechainHighPassRight.step(c.xR);
    c.p = (hL * hL + hR * hR) * 0.7071;

    double fast = s.fastAverage.step(c.p);
    double slow = s.slowAverage.step(c.p);
    if (fast < 1e-6) fast = 1e-6;
    if (slow < 1e-6) slow = 1e-6;
    const double ratio = 0.2 * fast / slow;
    c.fc = (4.0 * ratio / (ratio + 1.0) + 0.1) * 0.7 / relaxed(parameters.timeScale);

    const CBiquad& cell = s.optoCell;
    double fc = c.fc;
    if (fc < 0.001)
        fc = 0.001;
    else if (fc > 0.499 * cell.sampleRate)
        fc = 0.499 * cell.sampleRate;
    const double w = fc * kTwoPi / cell.sampleRate;
    const double cosW = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * cell.q);
    c.a0 = 1.0 + alpha;
    const double k = 1.0 / c.a0;
    c.a1 = -2.0 * cosW * k;
    c.a2 = (1.0 - alpha) * k;
    c.b1 = (1.0 - cosW) * k;
    c.b0 = c.b2 = 0.5 * (1.0 - cosW) * k;
}

// Gain smoothing, noise floor and drive, then the side chain.
SideChain prepare(OptoCompressor::State& s, const SignalParameters& parameters, double inL, double inR) {
    SideChain c;
    // Drive and make-up glide towards their targets; the alternating offset keeps the
    // smoothers out of denormals.
    s.gainSmoothOffset = -s.gainSmoothOffset;
    s.outputGain = s.outputGain + 0.001 * (relaxed(parameters.outputGainTarget) - s.outputGain) +
                   s.gainSmoothOffset;
    s.inputGain = s.inputGain + 0.001 * (relaxed(parameters.inputGainTarget) - s.inputGain) +
                  s.gainSmoothOffset;
    s.inputGainInverse = 1.0 / s.inputGain;
    c.inverse = s.inputGainInverse;
    c.makeUp = s.outputGain;

    const double noiseL = NoiseFloor::toNoise(s.noise.nextWord());
    const double noiseR = NoiseFloor::toNoise(s.noise.nextWord());
    c.xL = inL * s.inputGain + noiseL;
    c.xR = inR * s.inputGain + noiseR;
    detect(s, parameters, c);
    return c;
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
    if (frames <= 0) return;
    State s = state;
    const ValveCurve valve = valveCurveFor(relaxed(parameters.ratioIndex));

    SideChain next = prepare(s, parameters, in0[0], in1[0]);
    for (int i = 0; i < frames; ++i) {
        const SideChain c = next;
        // Sample i + 1's inputs are read before sample i's outputs are written; in-place
        // and mono buffers only ever share index i.
        const bool more = i + 1 < frames;
        if (more) next = prepare(s, parameters, in0[i + 1], in1[i + 1]);

        CBiquad& cell = s.optoCell;
        cell.frequency = c.fc;
        cell.a0 = c.a0;
        cell.a1 = c.a1;
        cell.a2 = c.a2;
        cell.b0 = c.b0;
        cell.b1 = c.b1;
        cell.b2 = c.b2;
        // Attack runs the cell ten times per sample, release once.
        if (c.p > s.envelope) {
            cell.stepFourTimes(c.p);
            cell.stepFourTimes(c.p);
            cell.step(c.p);
            s.envelope = cell.step(c.p);
        } else {
            s.envelope = cell.step(c.p);
        }
        if (s.envelope < 0.001) s.envelope = 0.001;
        if (!std::isfinite(s.envelope)) {
            // Non-finite input poisoned the detector's history; start it afresh so that
            // the next finite sample is processed normally.
            cell.frequency = 1.0;
            resetDetector(s);
            s.envelope = 0.001;
            if (more) detect(s, parameters, next);
        }

        const double gain = ratioCurve(relaxed(parameters.ratioIndex), std::sqrt(s.envelope));
        meterGain.store(s.meterSmoother.step(gain), std::memory_order_relaxed);

        double yL = gain * c.xL;
        double yR = gain * c.xR;
        if (relaxed(parameters.processMode) == SignalParameters::kValve) {
            yL = valve.shape(yL);
            yR = valve.shape(yR);
        }
        out0[i] = static_cast<Sample>(yL * c.inverse * c.makeUp);
        out1[i] = static_cast<Sample>(yR * c.inverse * c.makeUp);
    }
    state = s;
}

template void OptoCompressor::compress<float>(const float*, const float*, float*, float*, int);
template void OptoCompressor::compress<double>(const double*, const double*, double*, double*, int);
template void OptoCompressor::bypass<float>(const float*, const float*, float*, float*, int);
template void OptoCompressor::bypass<double>(const double*, const double*, double*, double*, int);

// The signal path as the algorithm states it, one sample after the other with nothing
// reordered or reused, on its own copy of the kernel's state: with our elementary functions,
// what the kernel must equal bit for bit; with the C library's, what it must stay close to.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "effect/AutoComp.h"
#include "effect/GainCurves.h"
#include "effect/math/KrvMath.h"

struct OwnMath {
    static double sin(double x) { return krvmath::sinCos(x).sin; }
    static double cos(double x) { return krvmath::sinCos(x).cos; }
    static double atan(double x) { return krvmath::atan(x); }
    static double tanh(double x) { return krvmath::tanh(x); }
    static double pow(double x, double y) { return krvmath::pow(x, y); }
};

struct CLibraryMath {
    static double sin(double x) { return std::sin(x); }
    static double cos(double x) { return std::cos(x); }
    static double atan(double x) { return std::atan(x); }
    static double tanh(double x) { return std::tanh(x); }
    static double pow(double x, double y) { return std::pow(x, y); }
};

template <class Math>
class ReferenceKernelOf {
public:
    // Takes the state as it is; resume() designs it anew with Math's functions.
    ReferenceKernelOf(const OptoCompressor::State& state, const AutoComp& effect)
        : s(state), effect(effect) {}

    template <typename Sample>
    void process(const Sample* in0, const Sample* in1, Sample* out0, Sample* out1, int frames) {
        if (effect.getProcessMode() == 0) {
            for (int i = 0; i < frames; ++i) {
                out0[i] = in0[i];
                out1[i] = in1[i];
                meterGain = s.meterSmoother.step(1.0);
            }
            return;
        }
        const ValveCurve valve = valveCurveFor(effect.getRatioIndex());
        for (int i = 0; i < frames; ++i) {
            const double inL = in0[i], inR = in1[i];
            s.gainSmoothOffset = -s.gainSmoothOffset;
            s.outputGain = s.outputGain + 0.001 * (outputGainTarget() - s.outputGain) +
                           s.gainSmoothOffset;
            s.inputGain = s.inputGain + 0.001 * (inputGainTarget() - s.inputGain) +
                          s.gainSmoothOffset;
            s.inputGainInverse = 1 / s.inputGain;
            const uint32_t wordL = s.noise.nextWord();
            const uint32_t wordR = s.noise.nextWord();
            const double noiseL = (wordL * 2.3283064365e-10 * 2 - 1) * 1e-10;
            const double noiseR = (wordR * 2.3283064365e-10 * 2 - 1) * 1e-10;
            const double xL = inL * s.inputGain + noiseL;
            const double xR = inR * s.inputGain + noiseR;
            const double hL = s.sidechainHighPassLeft.step(xL);
            const double hR = s.sidechainHighPassRight.step(xR);
            const double p = (hL * hL + hR * hR) * 0.7071;
            double f = s.fastAverage.step(p);
            double sl = s.slowAverage.step(p);
            if (f < 1e-6) f = 1e-6;
            if (sl < 1e-6) sl = 1e-6;
            const double F = 0.2 * f / sl;
            double fc = (4 * F / (F + 1) + 0.1) * 0.7 / timeScale();
            CBiquad& cell = s.optoCell;
            cell.frequency = fc;
            if (fc < 0.001) fc = 0.001;
            if (fc > 0.499 * cell.sampleRate) fc = 0.499 * cell.sampleRate;
            const double w = fc * 6.283185307179586 / cell.sampleRate;
            const double alpha = Math::sin(w) / (2 * cell.q);
            cell.a0 = 1 + alpha;
            const double K = 1 / cell.a0;
            cell.a1 = -2 * Math::cos(w) * K;
            cell.a2 = (1 - alpha) * K;
            cell.b1 = (1 - Math::cos(w)) * K;
            cell.b0 = cell.b2 = 0.5 * (1 - Math::cos(w)) * K;
            if (p > s.envelope) {
                cell.stepFourTimes(p);
                cell.stepFourTimes(p);
                cell.step(p);
                s.envelope = cell.step(p);
            } else {
                s.envelope = cell.step(p);
            }
            if (s.envelope < 0.001) s.envelope = 0.001;
            if (!std::isfinite(s.envelope)) {
                // Non-finite input: the detector starts afresh. When the block goes on, the
                // high-passes' offsets flip once more than the samples they see (the kernel
                // has always prepared the next sample's side chain before this reset).
                cell.frequency = 1.0;
                resetDetector();
                s.envelope = 0.001;
                if (i + 1 < frames)
                    for (CBiquad* hp : {&s.sidechainHighPassLeft, &s.sidechainHighPassRight})
                        hp->offset = -hp->offset;
            }
            const double gain = curve(effect.getRatioIndex(), std::sqrt(s.envelope));
            meterGain = s.meterSmoother.step(gain);
            double yL = gain * xL, yR = gain * xR;
            if (effect.getProcessMode() == 2) {
                yL = shape(valve, yL);
                yR = shape(valve, yR);
            }
            out0[i] = static_cast<Sample>(yL * s.inputGainInverse * s.outputGain);
            out1[i] = static_cast<Sample>(yR * s.inputGainInverse * s.outputGain);
        }
    }

    void suspend() {
        s.inputGain = inputGainTarget();
        s.outputGain = outputGainTarget();
        resetDetector();
        s.envelope = 0.0001;
        meterGain = 1.0;
    }

    void resume(double reportedRate) {
        const double r = reportedRate >= 20000 && reportedRate <= 200000 ? reportedRate : 44100;
        CBiquad& meter = s.meterSmoother;
        meter.sampleRate = reportedRate > 0 && std::isfinite(reportedRate) ? reportedRate : r;
        if (meter.frequency > 0.499 * r) meter.frequency = 0.499 * r;
        design(meter);
        meter.frequency = 1000 * 0.7 / 300;
        design(meter);
        s.gainSmoothOffset = 1e-17;
        for (CBiquad* section :
             {&s.optoCell, &s.sidechainHighPassLeft, &s.sidechainHighPassRight}) {
            section->sampleRate = r;
            if (section->frequency > 0.499 * r) section->frequency = 0.499 * r;
        }
        s.fastAverage.sampleRate = s.slowAverage.sampleRate = r;
        s.fastAverage.q = s.slowAverage.q = 0.5;
        s.fastAverage.frequency = 5;
        s.slowAverage.frequency = 2;
        for (CBiquad* section : {&s.optoCell, &s.fastAverage, &s.slowAverage,
                                 &s.sidechainHighPassLeft, &s.sidechainHighPassRight}) {
            design(*section);
            section->clear();
        }
        s.inputGain = inputGainTarget();
        s.outputGain = outputGainTarget();
    }

    double meterGain = 1.0;
    OptoCompressor::State s;

private:
    static double shape(const ValveCurve& valve, double y) {
        const double L = valve.scale, h = valve.inputFactor;
        return y >= 0 ? Math::atan(y * h) * L : Math::tanh(y * h * -0.64) * L / -0.64;
    }

    static double curve(int ratioIndex, double W) {
        switch (ratioIndex) {
            case 0: return 0.6 / (1 + 0.4 * W) + 0.4;
            case 1: return 0.8 / (1 + 0.4 * W) + 0.2;
            case 2:
                return (0.7 * (0.9 * W / (1 + 0.35 * W) + 0.1 * W) +
                        0.3 * (0.92 * Math::atan(1.2 * W) / 1.2 + 0.08 * W)) / W;
            case 3:
                return (0.35 * (0.95 * W / (1 + 0.35 * W) + 0.05 * W) +
                        0.65 * (0.95 * Math::atan(1.2 * W) / 1.2 + 0.05 * W)) / W;
            case 4: return (0.97 * Math::atan(1.2 * W) / 1.2 + 0.03 * W) / W;
            case 5:
                return (0.5 * (0.982 * Math::atan(1.2 * W) / 1.2 + 0.018 * W) +
                        0.5 * (0.982 * Math::tanh(W) + 0.018 * W)) / W;
            case 6: return (0.99 * Math::tanh(W) + 0.01 * W) / W;
            default: return 1;
        }
    }

    void resetDetector() {
        for (CBiquad* section : {&s.sidechainHighPassLeft, &s.sidechainHighPassRight, &s.optoCell,
                                 &s.fastAverage, &s.slowAverage}) {
            design(*section);
            section->clear();
        }
    }

    // The parameters' values as the effect derives them.
    double parameter(VstInt32 index) const { return const_cast<AutoComp&>(effect).getParameter(index); }
    static int steps(double v, int positions) { return static_cast<int>((positions - 1) * v + 0.5); }
    double timeScale() const { return 0.005 * Math::pow(100.0, parameter(AutoComp::kTime)); }
    double inputGainTarget() const {
        const int k = static_cast<int>(40.0 * Math::pow(parameter(AutoComp::kCompression), 0.7071) + 0.5);
        return Math::pow(1024.0, k / 40.0) * 0.125;
    }
    double outputGainTarget() const {
        const int k = steps(parameter(AutoComp::kOutput), 61);
        return Math::pow(31.622776601683793, k / 60.0);
    }

    static void design(CBiquad& c) {
        c.a0 = c.a1 = c.a2 = c.b0 = c.b1 = c.b2 = 1;
        if (c.frequency > 0.499 * c.sampleRate) c.frequency = 0.499 * c.sampleRate;
        const bool highPass = c.type == CBiquad::kHighPass;
        if (!highPass && c.type != CBiquad::kLowPass) return;
        const double w = c.frequency * 6.283185307179586 / c.sampleRate;
        const double e = highPass ? Math::pow(c.frequency / (c.sampleRate * 0.5001), 6)
                                  : Math::pow(c.frequency / (c.sampleRate * 0.50001), 8);
        if (!highPass) c.offset = 1e-12;
        const double alpha = Math::sin(w) / (2 * ((1 - e) * c.q));
        c.a0 = 1 + alpha;
        c.a1 = -2 * Math::cos(w) / c.a0;
        c.a2 = (1 - alpha) / c.a0;
        const double cosW = Math::cos(w);
        if (highPass) {
            c.b0 = c.b2 = (1 + cosW) * 0.5 / c.a0;
            c.b1 = -(1 + cosW) / c.a0;
        } else {
            c.b0 = c.b2 = (1 - cosW) * 0.5 / c.a0;
            c.b1 = (1 - cosW) / c.a0;
        }
    }

    const AutoComp& effect;
};

using ReferenceKernel = ReferenceKernelOf<OwnMath>;

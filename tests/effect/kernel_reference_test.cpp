// The compressor kernel against a plain transcription of its algorithm, one sample after
// the other with nothing reordered: every output must agree bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "effect/GainCurves.h"
#include "support/InProcessEffect.h"

namespace {

// The algorithm as written, on a copy of the kernel's state.
class ReferenceKernel {
public:
    ReferenceKernel(const OptoCompressor::State& state, const AutoComp& effect) : s(state), effect(effect) {}

    void process(const double* in0, const double* in1, double* out0, double* out1, int frames) {
        const ValveCurve valve = valveCurveFor(effect.getRatioIndex());
        for (int i = 0; i < frames; ++i) {
            const double inL = in0[i], inR = in1[i];
            s.gainSmoothOffset = -s.gainSmoothOffset;
            s.outputGain = s.outputGain + 0.001 * (effect.getOutputGainTarget() - s.outputGain) + s.gainSmoothOffset;
            s.inputGain = s.inputGain + 0.001 * (effect.getInputGainTarget() - s.inputGain) + s.gainSmoothOffset;
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
            double fc = (4 * F / (F + 1) + 0.1) * 0.7 / effect.getTimeScale();
            CBiquad& cell = s.optoCell;
            cell.frequency = fc;
            if (fc < 0.001) fc = 0.001;
            if (fc > 0.499 * cell.sampleRate) fc = 0.499 * cell.sampleRate;
            const double w = fc * 6.283185307179586 / cell.sampleRate;
            const double alpha = std::sin(w) / (2 * cell.q);
            cell.a0 = 1 + alpha;
            const double K = 1 / cell.a0;
            cell.a1 = -2 * std::cos(w) * K;
            cell.a2 = (1 - alpha) * K;
            cell.b1 = (1 - std::cos(w)) * K;
            cell.b0 = cell.b2 = 0.5 * (1 - std::cos(w)) * K;
            if (p > s.envelope) {
                cell.stepFourTimes(p);
                cell.stepFourTimes(p);
                cell.step(p);
                s.envelope = cell.step(p);
            } else {
                s.envelope = cell.step(p);
            }
            if (s.envelope < 0.001) s.envelope = 0.001;
            const double gain = ratioCurve(effect.getRatioIndex(), std::sqrt(s.envelope));
            meterGain = s.meterSmoother.step(gain);
            double yL = gain * xL, yR = gain * xR;
            if (effect.getProcessMode() == 2) {
                yL = valve.shape(yL);
                yR = valve.shape(yR);
            }
            out0[i] = yL * s.inputGainInverse * s.outputGain;
            out1[i] = yR * s.inputGainInverse * s.outputGain;
        }
    }
    double meterGain = 1.0;

private:
    OptoCompressor::State s;
    const AutoComp& effect;
};

std::vector<double> testSignal(int frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<double> v(frames);
    for (int i = 0; i < frames; ++i) {
        double t = (i % 9000) / 44100.0;
        v[i] = 0.9 * std::exp(-t * 12.0) * std::sin(2 * M_PI * 70.0 * t) + 0.02 * noise(random) +
               (i > frames / 2 ? 0.0 : 0.1 * std::sin(i * 0.3));
    }
    return v;
}

TEST(KernelReference, EveryRatioTimeAndModeAgreesBitForBit) {
    const std::vector<double> left = testSignal(30000, 1), right = testSignal(30000, 2);
    for (float process : {0.5f, 1.0f})
        for (int ratio = 0; ratio < 7; ++ratio)
            for (float time : {0.0f, 0.35f, 1.0f}) {
                InProcessEffect fixture;
                AutoComp& effect = fixture.effect();
                effect.setParameter(AutoComp::kProcess, process);
                effect.setParameter(AutoComp::kRatio, ratio / 6.0f);
                effect.setParameter(AutoComp::kTime, time);
                effect.setParameter(AutoComp::kCompression, 0.8f);
                effect.setParameter(AutoComp::kOutput, 0.3f);
                effect.setSampleRate(48000.0f);
                effect.resume();
                ReferenceKernel reference(effect.signalPath().getState(), effect);
                std::vector<double> out0(left.size()), out1(left.size()), ref0(left.size()), ref1(left.size());
                for (size_t at = 0; at < left.size(); at += 1000) {
                    double* in[2] = {const_cast<double*>(&left[at]), const_cast<double*>(&right[at])};
                    double* out[2] = {&out0[at], &out1[at]};
                    effect.processDoubleReplacing(in, out, 1000);
                    reference.process(&left[at], &right[at], &ref0[at], &ref1[at], 1000);
                }
                ASSERT_EQ(std::memcmp(out0.data(), ref0.data(), out0.size() * sizeof(double)), 0)
                    << process << " " << ratio << " " << time;
                ASSERT_EQ(std::memcmp(out1.data(), ref1.data(), out1.size() * sizeof(double)), 0);
                ASSERT_EQ(effect.getMeterGain(), reference.meterGain);
            }
}

}  // namespace

// The compressor kernel against a plain transcription of its algorithm, one sample after
// the other with nothing reordered: every output, the meter and the carried state must
// agree bit for bit, in both precisions, whatever the input and the host do.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "ReferenceKernel.h"
#include "effect/KernelPasses.h"
#include "support/InProcessEffect.h"

namespace {

template <typename T>
bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// The first field of the carried state that differs, or an empty string.
std::string firstStateDifference(const OptoCompressor::State& a, const OptoCompressor::State& b) {
    const std::pair<const char*, double CBiquad::*> fields[] = {
        {"sampleRate", &CBiquad::sampleRate}, {"frequency", &CBiquad::frequency},
        {"q", &CBiquad::q},   {"offset", &CBiquad::offset}, {"a0", &CBiquad::a0},
        {"a1", &CBiquad::a1}, {"a2", &CBiquad::a2},         {"b0", &CBiquad::b0},
        {"b1", &CBiquad::b1}, {"b2", &CBiquad::b2},         {"x", &CBiquad::x},
        {"x1", &CBiquad::x1}, {"x2", &CBiquad::x2},         {"y", &CBiquad::y},
        {"y1", &CBiquad::y1}, {"y2", &CBiquad::y2}};
    const std::pair<const char*, CBiquad OptoCompressor::State::*> sections[] = {
        {"sidechainHighPassLeft", &OptoCompressor::State::sidechainHighPassLeft},
        {"sidechainHighPassRight", &OptoCompressor::State::sidechainHighPassRight},
        {"fastAverage", &OptoCompressor::State::fastAverage},
        {"slowAverage", &OptoCompressor::State::slowAverage},
        {"optoCell", &OptoCompressor::State::optoCell},
        {"meterSmoother", &OptoCompressor::State::meterSmoother}};
    for (const auto& [sectionName, section] : sections)
        for (const auto& [fieldName, field] : fields)
            if (!sameBits(a.*section.*field, b.*section.*field))
                return std::string(sectionName) + "." + fieldName;
    const std::pair<const char*, double OptoCompressor::State::*> scalars[] = {
        {"inputGain", &OptoCompressor::State::inputGain},
        {"inputGainInverse", &OptoCompressor::State::inputGainInverse},
        {"outputGain", &OptoCompressor::State::outputGain},
        {"gainSmoothOffset", &OptoCompressor::State::gainSmoothOffset},
        {"envelope", &OptoCompressor::State::envelope}};
    for (const auto& [name, scalar] : scalars)
        if (!sameBits(a.*scalar, b.*scalar)) return name;
    if (a.noise.state1 != b.noise.state1 || a.noise.state2 != b.noise.state2 ||
        a.noise.state3 != b.noise.state3)
        return "noise";
    return {};
}

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

// One channel of stretches that each stress the kernel differently: noise, drum hits,
// silence, NaN and infinity bursts, values near the top of the format, denormals, a loud
// sine, alternating signs.
template <typename Sample>
std::vector<Sample> hostileSignal(int stretches, unsigned seed) {
    using limits = std::numeric_limits<Sample>;
    constexpr int kStretch = 700;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<Sample> v;
    for (int n = 0; n < stretches; ++n) {
        const int kind = static_cast<int>(random() % 10);
        for (int i = 0; i < kStretch; ++i) {
            const double u = uniform(random);
            double x = u;
            switch (kind) {
                case 1: x = 0.8 * std::exp(-(i % 300) / 40.0) * std::sin(i * 0.09); break;
                case 2: x = 0.0; break;
                case 3: x = i % 50 < 3 ? limits::quiet_NaN() : u; break;
                case 4: x = i % 70 < 2 ? (u > 0 ? limits::infinity() : -limits::infinity()) : u;
                    break;
                case 5: x = u * static_cast<double>(limits::max()); break;
                case 6: x = u * static_cast<double>(limits::denorm_min()) * 1000.0; break;
                case 7: x = 40.0 * std::sin(i * 0.05); break;
                case 8: x = i % 2 ? 0.5 : -0.5; break;
                default: break;
            }
            v.push_back(static_cast<Sample>(x));
        }
    }
    return v;
}

template <typename Sample>
void processBoth(AutoComp& effect, Sample** in, Sample** out, int frames) {
    if constexpr (sizeof(Sample) == sizeof(float))
        effect.processReplacing(in, out, frames);
    else
        effect.processDoubleReplacing(in, out, frames);
}

// Plays a random session against the effect and the transcription: odd block sizes,
// automation and program changes between blocks, suspend and resume, in-place blocks.
template <typename Sample>
void playSession(unsigned seed) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(sizeof(Sample) * 8) +
                 "-bit samples");
    const std::vector<Sample> left = hostileSignal<Sample>(60, seed);
    const std::vector<Sample> right = hostileSignal<Sample>(60, seed + 1000);
    const int length = static_cast<int>(left.size());
    InProcessEffect fixture;
    AutoComp& effect = fixture.effect();
    effect.setSampleRate(48000.0f);
    effect.setParameter(AutoComp::kProcess, 0.5f);
    effect.setParameter(AutoComp::kCompression, 0.8f);
    effect.resume();
    ReferenceKernel reference(effect.signalPath().getState(), effect);
    reference.meterGain = effect.getMeterGain();

    std::mt19937 random(seed);
    const int blockSizes[] = {1, 2, 3, 7, 63, 64, 65, 127, 129, 500, 511, 512, 1000, 4097};
    const VstInt32 automated[] = {AutoComp::kProcess, AutoComp::kRatio, AutoComp::kTime,
                                  AutoComp::kCompression, AutoComp::kOutput};
    const float rates[] = {44100.0f, 48000.0f, 96000.0f, 16000.0f};
    std::vector<Sample> out0, out1, ref0, ref1;
    int at = 0, nonFiniteBlocks = 0, valveBlocks = 0;
    for (int step = 0; step < 900; ++step) {
        const unsigned event = random() % 100;
        if (event < 12) {
            effect.setParameter(automated[random() % 5], (random() % 1200) / 1000.0f - 0.1f);
        } else if (event < 14) {
            effect.setProgram(static_cast<VstInt32>(random() % 33));
        } else if (event < 17) {
            effect.suspend();
            reference.suspend();
            if (random() % 2) effect.setSampleRate(rates[random() % 4]);
            effect.resume();
            reference.resume(effect.getSampleRate());
        } else {
            const int frames = std::min(blockSizes[random() % 14], length - at);
            const bool inPlace = random() % 4 == 0;
            out0.assign(&left[at], &left[at] + frames);
            out1.assign(&right[at], &right[at] + frames);
            ref0.resize(frames);
            ref1.resize(frames);
            Sample* in[2] = {const_cast<Sample*>(&left[at]), const_cast<Sample*>(&right[at])};
            Sample* out[2] = {out0.data(), out1.data()};
            processBoth(effect, inPlace ? out : in, out, frames);
            reference.process(&left[at], &right[at], ref0.data(), ref1.data(), frames);
            SCOPED_TRACE("step " + std::to_string(step) + ", frames " + std::to_string(at) +
                         " + " + std::to_string(frames));
            ASSERT_EQ(std::memcmp(out0.data(), ref0.data(), frames * sizeof(Sample)), 0);
            ASSERT_EQ(std::memcmp(out1.data(), ref1.data(), frames * sizeof(Sample)), 0);
            ASSERT_TRUE(sameBits(effect.getMeterGain(), reference.meterGain));
            ASSERT_EQ(firstStateDifference(effect.signalPath().getState(), reference.s), "");
            for (int i = 0; i < frames; ++i)
                if (!std::isfinite(out0[i])) {
                    ++nonFiniteBlocks;
                    break;
                }
            valveBlocks += effect.getProcessMode() == 2;
            at = at + frames == length ? 0 : at + frames;
        }
    }
    // The session reached what it is meant to test.
    EXPECT_GT(nonFiniteBlocks, 5);
    EXPECT_GT(valveBlocks, 5);
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
                std::vector<double> out0(left.size()), out1(left.size()), ref0(left.size()),
                    ref1(left.size());
                for (size_t at = 0; at < left.size(); at += 1000) {
                    double* in[2] = {const_cast<double*>(&left[at]),
                                     const_cast<double*>(&right[at])};
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

TEST(KernelReference, HostileSessionsAgreeBitForBitInBothPrecisions) {
    for (unsigned seed : {11u, 12u, 13u}) {
        playSession<float>(seed);
        playSession<double>(seed);
    }
}

// A NaN at each edge of a block and of the kernel's internal stretches: the detector's
// reset and the sample after it must match, wherever the block ends.
TEST(KernelReference, ResetAtEveryBlockEdgeAgreesBitForBit) {
    for (int blockSize : {1, 2, 63, 64, 65, 128, 130, 512})
        for (int nanAt : {0, 1, 62, 63, 64, 65, 127, 128, 129, 511}) {
            if (nanAt >= blockSize) continue;
            InProcessEffect fixture;
            AutoComp& effect = fixture.effect();
            effect.setParameter(AutoComp::kProcess, 1.0f);
            effect.setParameter(AutoComp::kCompression, 0.9f);
            effect.setSampleRate(48000.0f);
            effect.resume();
            ReferenceKernel reference(effect.signalPath().getState(), effect);
            std::vector<double> left = testSignal(4 * blockSize, 3);
            std::vector<double> right = testSignal(4 * blockSize, 4);
            left[blockSize + nanAt] = std::numeric_limits<double>::quiet_NaN();
            right[2 * blockSize + nanAt] = std::numeric_limits<double>::infinity();
            std::vector<double> out0(left.size()), out1(left.size()), ref0(left.size()),
                ref1(left.size());
            for (int at = 0; at < 4 * blockSize; at += blockSize) {
                double* in[2] = {&left[at], &right[at]};
                double* out[2] = {&out0[at], &out1[at]};
                effect.processDoubleReplacing(in, out, blockSize);
                reference.process(&left[at], &right[at], &ref0[at], &ref1[at], blockSize);
                ASSERT_EQ(firstStateDifference(effect.signalPath().getState(), reference.s), "")
                    << blockSize << " " << nanAt << " " << at;
            }
            ASSERT_EQ(std::memcmp(out0.data(), ref0.data(), out0.size() * sizeof(double)), 0)
                << blockSize << " " << nanAt;
            ASSERT_EQ(std::memcmp(out1.data(), ref1.data(), out1.size() * sizeof(double)), 0);
            EXPECT_TRUE(std::isnan(out0[blockSize + nanAt]));
        }
}

}  // namespace

namespace {

// The ratio can change between two chunks of a block (automation from another thread):
// curve terms kept for an equal amplitude must then still be the new curve's.
TEST(KernelPasses, ARatioChangeBetweenChunksUsesTheNewCurvesTerms) {
    SignalParameters parameters;
    OptoCompressor compressor(parameters);
    OptoCompressor::State state = compressor.getState();
    kernel::Chunk chunk;
    kernel::Reuse reuse;
    chunk.frames = 3;
    for (int j = 0; j < chunk.frames; ++j) chunk.envelope[j] = 0.25;
    for (int ratio : {0, 3, 1, 6, 5, 2}) {
        kernel::applyGainCurve(state, ratio, chunk, reuse);
        for (int j = 0; j < chunk.frames; ++j)
            ASSERT_TRUE(sameBits(chunk.gain[j], ratioCurve(ratio, 0.5))) << ratio << " " << j;
    }
}

}  // namespace

// The compressor kernel against a plain transcription of its algorithm, one sample after
// the other with nothing reordered: every output, the meter and the carried state must
// agree bit for bit, in both precisions, whatever the input and the host do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
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

// Forces the vector variant of effects constructed from now on.
void forceVectorMath(const char* name) {
#ifdef _WIN32
    _putenv_s("KRV_SIMD", name);
#else
    setenv("KRV_SIMD", name, 1);
#endif
}

// The variants this CPU can run.
std::vector<const char*> vectorVariants() {
    if (krvmath::avx2Available()) return {"sse2", "avx2"};
    return {"sse2"};
}

// Every output sample, bit for bit against a transcription with our functions.
struct ExactComparison {
    template <typename Sample, class Reference>
    void operator()(const AutoComp& effect, const Reference& reference, const Sample* out0,
                    const Sample* out1, const Sample* ref0, const Sample* ref1, int frames) {
        ASSERT_EQ(std::memcmp(out0, ref0, frames * sizeof(Sample)), 0);
        ASSERT_EQ(std::memcmp(out1, ref1, frames * sizeof(Sample)), 0);
        ASSERT_TRUE(sameBits(effect.getMeterGain(), reference.meterGain));
        ASSERT_EQ(firstStateDifference(effect.signalPath().getState(), reference.s), "");
    }
};

// The largest difference from a transcription with the C library's functions.
struct Deviation {
    double absolute = 0.0, relative = 0.0;
    long samples = 0, differing = 0;

    template <typename Sample, class Reference>
    void operator()(const AutoComp&, const Reference&, const Sample* out0, const Sample* out1,
                    const Sample* ref0, const Sample* ref1, int frames) {
        for (const auto& [out, ref] : {std::pair(out0, ref0), std::pair(out1, ref1)})
            for (int i = 0; i < frames; ++i) {
                const double o = out[i], r = ref[i];
                ++samples;
                if (!std::isfinite(r) || !std::isfinite(o)) {
                    // Non-finite input passes through; it must do so in both.
                    ASSERT_EQ(std::isnan(o), std::isnan(r)) << i;
                    if (!std::isnan(o)) {
                        ASSERT_EQ(o, r) << i;
                    }
                    continue;
                }
                const double d = std::fabs(o - r);
                differing += d != 0.0;
                absolute = std::max(absolute, d);
                if (r != 0.0) relative = std::max(relative, d / std::fabs(r));
            }
    }
};

// Plays a random session against the effect and the transcription: odd block sizes,
// automation and program changes between blocks, suspend and resume, in-place blocks.
// Returns the effect's outputs, left and right of each block one after the other.
template <typename Sample, class Math = OwnMath, class Compare = ExactComparison>
std::vector<Sample> playSession(unsigned seed, Compare&& compare = Compare()) {
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
    ReferenceKernelOf<Math> reference(effect.signalPath().getState(), effect);
    reference.resume(effect.getSampleRate());
    reference.meterGain = effect.getMeterGain();

    std::mt19937 random(seed);
    const int blockSizes[] = {1, 2, 3, 7, 63, 64, 65, 127, 129, 500, 511, 512, 1000, 4097};
    const VstInt32 automated[] = {AutoComp::kProcess, AutoComp::kRatio, AutoComp::kTime,
                                  AutoComp::kCompression, AutoComp::kOutput};
    const float rates[] = {44100.0f, 48000.0f, 96000.0f, 16000.0f};
    std::vector<Sample> out0, out1, ref0, ref1, played;
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
            compare(effect, reference, out0.data(), out1.data(), ref0.data(), ref1.data(),
                    frames);
            if (::testing::Test::HasFatalFailure()) return played;
            played.insert(played.end(), out0.begin(), out0.end());
            played.insert(played.end(), out1.begin(), out1.end());
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
    return played;
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

// Each vector variant the CPU can run, against the transcription and against each other.
TEST(KernelReference, HostileSessionsAgreeBitForBitInBothPrecisionsAndEveryVariant) {
    std::vector<std::vector<float>> singles;
    std::vector<std::vector<double>> doubles;
    for (const char* variant : vectorVariants()) {
        SCOPED_TRACE(variant);
        forceVectorMath(variant);
        ASSERT_STREQ(InProcessEffect().effect().signalPath().vectorMath(), variant);
        std::vector<float> single;
        std::vector<double> twice;
        for (unsigned seed : {11u, 12u, 13u}) {
            const std::vector<float> f = playSession<float>(seed);
            ASSERT_FALSE(HasFatalFailure());
            const std::vector<double> d = playSession<double>(seed);
            ASSERT_FALSE(HasFatalFailure());
            single.insert(single.end(), f.begin(), f.end());
            twice.insert(twice.end(), d.begin(), d.end());
        }
        singles.push_back(single);
        doubles.push_back(twice);
    }
    forceVectorMath("");
    if (singles.size() < 2) GTEST_SKIP() << "no AVX2 on this CPU: only SSE2 ran";
    ASSERT_EQ(singles[0].size(), singles[1].size());
    EXPECT_EQ(std::memcmp(singles[0].data(), singles[1].data(), singles[0].size() * sizeof(float)), 0);
    ASSERT_EQ(doubles[0].size(), doubles[1].size());
    EXPECT_EQ(std::memcmp(doubles[0].data(), doubles[1].data(), doubles[0].size() * sizeof(double)), 0);
}

// How far our functions take the output from what the C library's would give.
TEST(KernelReference, HostileSessionsStayWithinATrillionthOfTheCLibrarysOutput) {
    Deviation singles, doubles;
    for (unsigned seed : {11u, 12u, 13u}) {
        playSession<float, CLibraryMath>(seed, singles);
        playSession<double, CLibraryMath>(seed, doubles);
    }
    std::printf("deviation from the C library's functions, %ld samples:\n"
                "  64-bit: largest %.3g absolute, %.3g relative, %ld samples differ\n"
                "  32-bit: largest %.3g absolute, %.3g relative, %ld samples differ\n",
                doubles.samples, doubles.absolute, doubles.relative, doubles.differing,
                singles.absolute, singles.relative, singles.differing);
    EXPECT_GT(doubles.samples, 100000);
#if defined(__GLIBC__)
    EXPECT_LT(doubles.relative, 1e-12);
#else
    // MinGW-w64's and Wine's sin and tanh are themselves several units in the last place off.
    EXPECT_LT(doubles.relative, 1e-10);
#endif
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
    kernel::Chunk chunk;
    kernel::KeptGain kept;
    chunk.frames = 3;
    for (int j = 0; j < chunk.frames; ++j) chunk.envelope[j] = 0.25;
    for (int ratio : {0, 3, 1, 6, 5, 2}) {
        kernel::applyGainCurve<krvmath::Sse2Lanes>(ratio, chunk, kept);
        for (int j = 0; j < chunk.frames; ++j)
            ASSERT_TRUE(sameBits(chunk.gain[j], ratioCurve(ratio, 0.5))) << ratio << " " << j;
    }
}

}  // namespace

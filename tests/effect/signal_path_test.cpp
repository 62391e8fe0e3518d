// The signal path's lifecycle and state, seen from inside the effect.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "support/InProcessEffect.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// Counts every allocation of this test program.
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// MinGW's g++ takes the free() in a replaced operator delete for a mismatched release.
// (g++ 10 does not know the warning.)
#if __GNUC__ >= 11
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if __GNUC__ >= 11
#pragma GCC diagnostic pop
#endif

namespace {

class SignalPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        dispatch(effSetSampleRate, 0, 0, 44100.0f);
        dispatch(effMainsChanged, 1);
    }
    void dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f) {
        fixture.record()->dispatcher(fixture.record(), opcode, 0, value, ptr, opt);
    }
    // Processes a stereo block of the same signal on both channels.
    void process(std::vector<float>& left, std::vector<float>& right) {
        float* in[2] = {left.data(), right.data()};
        float* out[2] = {left.data(), right.data()};
        effect.processReplacing(in, out, static_cast<VstInt32>(left.size()));
    }
    void processSine(double amplitude, int frames) {
        std::vector<float> left(frames), right(frames);
        for (int i = 0; i < frames; ++i)
            left[i] = right[i] = static_cast<float>(amplitude * std::sin(i * 0.0627));
        process(left, right);
    }
    const OptoCompressor::State& state() { return effect.signalPath().getState(); }

    InProcessEffect fixture;
    AutoComp& effect = fixture.effect();
};

TEST_F(SignalPathTest, MeterStartsSettledAtNoReduction) {
    EXPECT_EQ(effect.getMeterGain(), 1.0);
    EXPECT_NEAR(state().meterSmoother.y, 1.0, 1e-4);
    EXPECT_EQ(state().meterSmoother.frequency, 2.3333333333333335);
    EXPECT_EQ(state().slowAverage.frequency, 2.0);
}

TEST_F(SignalPathTest, DetectorFallsBackTo44100OutsideTheRangeButTheMeterDoesNot) {
    for (float rate : {16000.0f, 300000.0f}) {
        dispatch(effSetSampleRate, 0, nullptr, rate);
        dispatch(effMainsChanged, 1);
        EXPECT_EQ(state().optoCell.sampleRate, 44100.0) << rate;
        EXPECT_EQ(state().sidechainHighPassLeft.sampleRate, 44100.0) << rate;
        EXPECT_EQ(state().fastAverage.sampleRate, 44100.0) << rate;
        EXPECT_EQ(state().meterSmoother.sampleRate, rate) << rate;
    }
    dispatch(effSetSampleRate, 0, nullptr, 96000.0f);
    dispatch(effMainsChanged, 1);
    EXPECT_EQ(state().slowAverage.sampleRate, 96000.0);
    EXPECT_EQ(state().meterSmoother.sampleRate, 96000.0);
}

// A rate the meter cannot be designed for is treated like any other out-of-range rate.
TEST_F(SignalPathTest, UnusableRatesLeaveEverySectionFinite) {
    for (float rate : {0.0f, -48000.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()}) {
        dispatch(effSetSampleRate, 0, nullptr, rate);
        dispatch(effMainsChanged, 1);
        EXPECT_EQ(state().meterSmoother.sampleRate, 44100.0) << rate;
        EXPECT_EQ(state().optoCell.sampleRate, 44100.0) << rate;
        processSine(0.5, 4096);
        EXPECT_TRUE(std::isfinite(effect.getMeterGain())) << rate;
        EXPECT_LT(effect.getMeterGain(), 1.0) << rate;
    }
}

TEST_F(SignalPathTest, OffPathLetsTheMeterGlideBackToNoReduction) {
    processSine(0.9, 44100);
    double reduced = effect.getMeterGain();
    ASSERT_LT(reduced, 0.9);
    effect.setParameter(AutoComp::kProcess, 0.0f);
    processSine(0.9, 2205);
    EXPECT_GT(effect.getMeterGain(), reduced);
    // The smoother's Q lets it overshoot a little on its way back.
    for (int block = 0; block < 40; ++block) {
        processSine(0.9, 2205);
        EXPECT_LT(effect.getMeterGain(), 1.01);
    }
    EXPECT_NEAR(effect.getMeterGain(), 1.0, 1e-3);
}

TEST_F(SignalPathTest, SuspendResetsTheDetectorAndTheMeter) {
    processSine(0.9, 8000);
    dispatch(effMainsChanged, 0);
    EXPECT_EQ(state().envelope, 0.0001);
    EXPECT_EQ(effect.getMeterGain(), 1.0);
    EXPECT_EQ(state().optoCell.y1, 0.0);
    EXPECT_EQ(state().inputGain, effect.getInputGainTarget());
}

TEST_F(SignalPathTest, DriveAndMakeUpGlideTowardsTheirTargets) {
    effect.setParameter(AutoComp::kOutput, 1.0f);
    processSine(0.01, 1000);
    double target = effect.getOutputGainTarget();
    double afterOneTimeConstant = state().outputGain;
    EXPECT_GT(afterOneTimeConstant, 1.0 + 0.5 * (target - 1.0));
    EXPECT_LT(afterOneTimeConstant, 1.0 + 0.75 * (target - 1.0));
    processSine(0.01, 20000);
    EXPECT_NEAR(state().outputGain, target, 1e-6);
}

bool subnormal(double v) { return std::fpclassify(v) == FP_SUBNORMAL; }

TEST_F(SignalPathTest, LongSilenceLeavesNoDenormalsInTheState) {
    processSine(0.8, 44100);
    std::vector<float> left(4410), right(4410);
    for (int block = 0; block < 600; ++block) {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        process(left, right);
        for (size_t i = 0; i < left.size(); ++i) ASSERT_FALSE(subnormal(left[i]) || subnormal(right[i]));
    }
    const OptoCompressor::State& s = state();
    for (const CBiquad* b : {&s.sidechainHighPassLeft, &s.sidechainHighPassRight, &s.fastAverage,
                             &s.slowAverage, &s.optoCell, &s.meterSmoother})
        for (double v : {b->x1, b->x2, b->y1, b->y2, b->y}) EXPECT_FALSE(subnormal(v)) << v;
    EXPECT_FALSE(subnormal(s.inputGain) || subnormal(s.outputGain));
    EXPECT_EQ(s.envelope, 0.001);
}

TEST_F(SignalPathTest, ProcessingNeverAllocates) {
    std::vector<float> left(512, 0.25f), right(512, -0.25f);
    std::vector<double> dleft(512, 0.25), dright(512, -0.25);
    fixture.host.calls.reserve(100000);
    processSine(0.5, 512);  // first use of anything lazily created
    long before = allocations.load();
    for (float mode : {0.0f, 0.5f, 1.0f}) {
        effect.setParameter(AutoComp::kProcess, mode);
        for (int block = 0; block < 50; ++block) {
            process(left, right);
            double* in[2] = {dleft.data(), dright.data()};
            effect.processDoubleReplacing(in, in, 512);
        }
    }
    EXPECT_EQ(allocations.load(), before);
}

TEST_F(SignalPathTest, SilenceSettlesAtTheCurveValueOfTheFloor) {
    const double atFloor[7] = {0.992505, 0.990007, 0.992971, 0.996064, 0.999535, 0.999601, 0.999670};
    for (int k = 0; k < 7; ++k) {
        effect.setParameter(AutoComp::kRatio, k / 6.0f);
        dispatch(effMainsChanged, 0);
        dispatch(effMainsChanged, 1);
        std::vector<float> left(44100 * 4, 0.0f), right(44100 * 4, 0.0f);
        process(left, right);
        EXPECT_NEAR(effect.getMeterGain(), atFloor[k], 1e-5) << k;
    }
}

}  // namespace

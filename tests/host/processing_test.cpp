// Audio through the built plug-in, in both precisions and every channel configuration.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "support/PluginFixture.h"

namespace {

template <typename Sample>
struct Stereo {
    std::vector<Sample> left, right;
};

template <typename Sample>
Stereo<Sample> drumLikeSignal(int frames, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    Stereo<Sample> s{std::vector<Sample>(frames), std::vector<Sample>(frames)};
    for (int i = 0; i < frames; ++i) {
        double t = (i % 11025) / 44100.0;
        double hit = std::exp(-t * 30.0) * std::sin(2 * M_PI * 60.0 * t);
        s.left[i] = static_cast<Sample>(0.8 * hit + 0.05 * noise(random));
        s.right[i] = static_cast<Sample>(0.6 * hit + 0.05 * noise(random));
    }
    return s;
}

class ProcessingTest : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        start(44100.0f);
    }
    // A new instance: the noise generators run on for an instance's whole life, so runs that
    // must match bit for bit need instances of their own.
    void fresh(float rate = 44100.0f) {
        plugin.reset();
        std::string error;
        plugin = HostedEffect::create(*library, host, error);
        ASSERT_TRUE(plugin) << error;
        start(rate);
    }
    void start(float rate) {
        plugin->dispatch(effMainsChanged, 0, 0);
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        plugin->dispatch(effSetBlockSize, 0, 512);
        plugin->dispatch(effMainsChanged, 0, 1);
    }
    void arrange(VstInt32 inputs, VstInt32 outputs) {
        VstSpeakerArrangement in{0, inputs}, out{0, outputs};
        plugin->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
    }
    // Processes whole buffers in host-style blocks, out of place.
    template <typename Sample>
    Stereo<Sample> run(const Stereo<Sample>& input, int block = 512) {
        Stereo<Sample> output{std::vector<Sample>(input.left.size()),
                              std::vector<Sample>(input.left.size())};
        for (size_t at = 0; at < input.left.size(); at += block) {
            int frames = static_cast<int>(std::min<size_t>(block, input.left.size() - at));
            Sample* in[2] = {const_cast<Sample*>(&input.left[at]), const_cast<Sample*>(&input.right[at])};
            Sample* out[2] = {&output.left[at], &output.right[at]};
            processBlock(in, out, frames);
        }
        return output;
    }
    void processBlock(float** in, float** out, int frames) {
        record()->processReplacing(record(), in, out, frames);
    }
    void processBlock(double** in, double** out, int frames) {
        record()->processDoubleReplacing(record(), in, out, frames);
    }
};

template <typename Sample>
bool bitIdentical(const std::vector<Sample>& a, const std::vector<Sample>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Sample)) == 0;
}

TEST_F(ProcessingTest, OffPassesEverySampleBitForBitInBothPrecisions) {
    plugin->setParameter(0, 0.0f);
    Stereo<float> f = drumLikeSignal<float>(20000);
    f.left[3] = std::numeric_limits<float>::denorm_min();
    f.left[4] = -0.0f;
    f.right[5] = std::numeric_limits<float>::max();
    f.right[6] = std::numeric_limits<float>::infinity();
    Stereo<float> fo = run(f);
    EXPECT_TRUE(bitIdentical(f.left, fo.left));
    EXPECT_TRUE(bitIdentical(f.right, fo.right));
    Stereo<double> d = drumLikeSignal<double>(20000);
    d.left[7] = std::numeric_limits<double>::denorm_min();
    Stereo<double> dout = run(d);
    EXPECT_TRUE(bitIdentical(d.left, dout.left));
    EXPECT_TRUE(bitIdentical(d.right, dout.right));
}

TEST_F(ProcessingTest, InPlaceProcessingEqualsOutOfPlace) {
    Stereo<float> input = drumLikeSignal<float>(8192);
    Stereo<float> expected = run(input);
    fresh();
    Stereo<float> buffers = input;
    for (size_t at = 0; at < buffers.left.size(); at += 512) {
        float* io[2] = {&buffers.left[at], &buffers.right[at]};
        processBlock(io, io, 512);
    }
    EXPECT_TRUE(bitIdentical(expected.left, buffers.left));
    EXPECT_TRUE(bitIdentical(expected.right, buffers.right));
}

TEST_F(ProcessingTest, CompressionTurnsLoudSignalsDown) {
    Stereo<double> input = drumLikeSignal<double>(44100);
    plugin->setParameter(5, 0.0f);
    start(44100.0f);
    Stereo<double> gentle = run(input);
    plugin->setParameter(5, 1.0f);
    start(44100.0f);
    Stereo<double> hard = run(input);
    auto peak = [](const std::vector<double>& v) {
        double p = 0;
        for (double x : v) p = std::max(p, std::fabs(x));
        return p;
    };
    EXPECT_LT(peak(hard.left), 0.5 * peak(gentle.left));
    EXPECT_LT(peak(gentle.left), peak(input.left));
}

TEST_F(ProcessingTest, LowLevelsPassAtTheMakeUpGain) {
    for (float compression : {0.0f, 0.5f, 1.0f}) {
        plugin->setParameter(5, compression);
        plugin->setParameter(6, 0.2f);  // +6 dB
        start(44100.0f);
        Stereo<double> input{std::vector<double>(44100), std::vector<double>(44100)};
        for (int i = 0; i < 44100; ++i)
            input.left[i] = input.right[i] = 1e-4 * std::sin(2 * M_PI * 1000.0 * i / 44100.0);
        Stereo<double> output = run(input);
        double ratio = output.left[44000] / input.left[44000];
        EXPECT_NEAR(ratio, std::pow(10.0, 6.0 / 20.0), 0.02) << compression;
    }
}

TEST_F(ProcessingTest, SilenceGivesOnlyTheNoiseFloor) {
    Stereo<double> silence{std::vector<double>(44100), std::vector<double>(44100)};
    Stereo<double> output = run(silence);
    const double inputGain = std::pow(1024.0, 25 / 40.0) * 0.125;  // "Compression" 5.00
    double peak = 0, sumSquares = 0;
    for (double x : output.left) {
        peak = std::max(peak, std::fabs(x));
        sumSquares += x * x;
    }
    EXPECT_LE(peak, 1e-10 / inputGain);
    // Uniform noise of amplitude 1e-10: RMS 1e-10 / sqrt(3), less a little gain.
    double rms = std::sqrt(sumSquares / output.left.size());
    EXPECT_NEAR(rms, 1e-10 / std::sqrt(3.0) / inputGain, 0.05e-10 / inputGain);
    EXPECT_FALSE(bitIdentical(output.left, output.right));
}

TEST_F(ProcessingTest, MonoToStereoOutputsDifferOnlyByTheNoise) {
    arrange(1, 2);
    Stereo<double> input = drumLikeSignal<double>(20000);
    std::fill(input.right.begin(), input.right.end(), 0.9);  // must be ignored
    Stereo<double> output = run(input);
    EXPECT_FALSE(bitIdentical(output.left, output.right));
    for (size_t i = 0; i < output.left.size(); ++i)
        ASSERT_NEAR(output.left[i], output.right[i], 1e-9) << i;
}

TEST_F(ProcessingTest, SingleOutputCarriesTheSecondChannelsResult) {
    Stereo<double> input = drumLikeSignal<double>(20000);
    arrange(1, 2);
    Stereo<double> both = run(input);
    fresh();
    arrange(1, 1);
    Stereo<double> single{std::vector<double>(20000), std::vector<double>(20000, 5.0)};
    for (size_t at = 0; at < 20000; at += 500) {
        double* in[2] = {&input.left[at], &input.right[at]};
        double* out[2] = {&single.left[at], &single.right[at]};
        processBlock(in, out, 500);
    }
    EXPECT_TRUE(bitIdentical(single.left, both.right));
    for (double untouched : single.right) ASSERT_EQ(untouched, 5.0);
}

TEST_F(ProcessingTest, EmptyBlocksChangeNothing) {
    Stereo<float> input = drumLikeSignal<float>(4096);
    Stereo<float> expected = run(input);
    fresh();
    Stereo<float> output{std::vector<float>(4096), std::vector<float>(4096)};
    for (size_t at = 0; at < 4096; at += 512) {
        float* in[2] = {&input.left[at], &input.right[at]};
        float* out[2] = {&output.left[at], &output.right[at]};
        processBlock(in, out, 0);
        processBlock(in, out, -5);
        processBlock(in, out, 512);
    }
    EXPECT_TRUE(bitIdentical(expected.left, output.left));
}

TEST_F(ProcessingTest, LowRatesRunTheDetectorAt44100) {
    Stereo<double> input = drumLikeSignal<double>(16000);
    Stereo<double> at44100 = run(input);
    fresh(16000.0f);
    Stereo<double> at16000 = run(input);
    EXPECT_TRUE(bitIdentical(at44100.left, at16000.left));
    fresh(48000.0f);
    Stereo<double> at48000 = run(input);
    EXPECT_FALSE(bitIdentical(at44100.left, at48000.left));
}

// Some hosts resume at one rate, then set the track's rate and process without suspending.
TEST_F(ProcessingTest, RateSetWhileRunningIsTakenOverAtTheNextBlock) {
    Stereo<double> input = drumLikeSignal<double>(20000);
    fresh(96000.0f);
    Stereo<double> plain = run(input);

    fresh(44100.0f);
    plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Stereo<double> changedWhileRunning = run(input);
    EXPECT_TRUE(bitIdentical(plain.left, changedWhileRunning.left));
    EXPECT_TRUE(bitIdentical(plain.right, changedWhileRunning.right));

    // Mid-stream, a change acts as a suspend and resume at the new rate would.
    fresh(44100.0f);
    run(input);
    plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Stereo<double> afterChange = run(input);
    fresh(44100.0f);
    run(input);
    plugin->dispatch(effMainsChanged, 0, 0);
    plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    plugin->dispatch(effMainsChanged, 0, 1);
    Stereo<double> afterResume = run(input);
    EXPECT_TRUE(bitIdentical(afterResume.left, afterChange.left));

    // The same rate set again while running changes nothing.
    fresh(96000.0f);
    plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_TRUE(bitIdentical(plain.left, run(input).left));
}

TEST_F(ProcessingTest, BothPrecisionsComputeTheSame) {
    for (float process : {0.5f, 1.0f}) {
        Stereo<float> f = drumLikeSignal<float>(30000);
        Stereo<double> d{std::vector<double>(f.left.begin(), f.left.end()),
                         std::vector<double>(f.right.begin(), f.right.end())};
        fresh();
        plugin->setParameter(0, process);
        Stereo<float> fo = run(f);
        fresh();
        plugin->setParameter(0, process);
        Stereo<double> dout = run(d);
        for (size_t i = 0; i < fo.left.size(); ++i) {
            ASSERT_EQ(fo.left[i], static_cast<float>(dout.left[i])) << i;
            ASSERT_EQ(fo.right[i], static_cast<float>(dout.right[i])) << i;
        }
    }
}

TEST_F(ProcessingTest, OutputRecoversAfterNonFiniteInput) {
    Stereo<double> input = drumLikeSignal<double>(8192);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        input.left[1000] = bad;
        input.right[3000] = bad;
        Stereo<double> output = run(input);
        for (size_t i = 0; i < output.left.size(); ++i) {
            if (i == 1000 || i == 3000) continue;
            ASSERT_TRUE(std::isfinite(output.left[i]) && std::isfinite(output.right[i])) << bad << " at " << i;
        }
    }
}

TEST_F(ProcessingTest, PinQuestionsAreAskedPerBlockNeverPerSample) {
    Stereo<float> input = drumLikeSignal<float>(2048);
    host.clear();
    run(input);
    EXPECT_EQ(host.callsOf(audioMasterPinConnected).size(), 4u * 4);
    plugin->setParameter(0, 0.0f);
    host.clear();
    run(input);
    EXPECT_EQ(host.callsOf(audioMasterPinConnected).size(), 4u * 2);
}

TEST_F(ProcessingTest, UnconnectedSecondPinsFoldToChannelZero) {
    Stereo<double> input = drumLikeSignal<double>(4096);
    arrange(1, 1);
    Stereo<double> folded = run(input);
    fresh();
    host.pinConnectedAnswer = 1;  // the host says: not connected
    Stereo<double> unconnected{std::vector<double>(4096), std::vector<double>(4096, 3.0)};
    for (size_t at = 0; at < 4096; at += 512) {
        double* in[2] = {&input.left[at], &input.right[at]};
        double* out[2] = {&unconnected.left[at], &unconnected.right[at]};
        processBlock(in, out, 512);
    }
    EXPECT_TRUE(bitIdentical(folded.left, unconnected.left));
    EXPECT_EQ(unconnected.right[100], 3.0);
}

}  // namespace

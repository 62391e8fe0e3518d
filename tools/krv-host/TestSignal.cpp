#include "tools/krv-host/TestSignal.h"

#include <cmath>

namespace {
constexpr double kToneHz = 220.0;
constexpr double kLoud = 0.7;
constexpr double kQuiet = 0.02;
}  // namespace

TestSignal::TestSignal(HostedPlugin& effect, float sampleRate, int blockSize)
    : effect(effect), sampleRate(sampleRate), blockSize(blockSize),
      left(size_t(blockSize)), right(size_t(blockSize)), outLeft(size_t(blockSize)),
      outRight(size_t(blockSize)) {}

void TestSignal::fill() {
    for (int i = 0; i < blockSize; ++i) {
        double t = double(samplesDone + i) / sampleRate;
        double level = (long long)t % 2 == 0 ? kLoud : kQuiet;
        float sample = float(level * std::sin(2.0 * M_PI * kToneHz * t));
        left[size_t(i)] = sample;
        right[size_t(i)] = sample;
    }
}

void TestSignal::runUntil(double elapsedSeconds) {
    long long due = (long long)(elapsedSeconds * sampleRate);
    while (samplesDone + blockSize <= due) {
        fill();
        float* inputs[2] = {left.data(), right.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        effect.process(inputs, outputs, blockSize);
        samplesDone += blockSize;
    }
}

// A test signal for the effect at real-time pace: a 220 Hz tone that alternates between
// loud and quiet every second, so that the compressor works and its meter moves.
#pragma once

#include <vector>

#include "hosting/HostedPlugin.h"

class TestSignal {
public:
    TestSignal(HostedPlugin& effect, float sampleRate, int blockSize);

    // Processes every block due by elapsedSeconds since the start.
    void runUntil(double elapsedSeconds);

private:
    void fill();

    HostedPlugin& effect;
    float sampleRate;
    int blockSize;
    long long samplesDone = 0;
    std::vector<float> left, right, outLeft, outRight;
};

// The compressor's active parameters: their indices, shared by the effect and the editor
// (whose control tags are these indices), and the positions each stepped parameter takes.
#pragma once

#include <cstdint>

namespace parameters {

enum Index : int32_t {
    kProcess = 0,
    kRatio = 2,
    kTime = 4,
    kCompression = 5,
    kOutput = 6,
};

// Positions from 0 to 1 in equal steps: the effect derives and displays the value in these
// steps and the editor's film strips show one frame per position.
constexpr int kProcessPositions = 3;       // "Off", "Clear", "Valve"
constexpr int kRatioPositions = 7;         // 1.2:1 to 10:1
constexpr int kTimePositions = 21;         // 0 to 10 in halves
constexpr int kCompressionPositions = 41;  // 0 to 10 in quarters
constexpr int kOutputPositions = 61;       // 0 to 30 dB in half decibels

// The position a normalised value v (0 to 1) takes among positions equal steps: truncation
// after adding one half.
constexpr int stepOf(double v, int positions) {
    return static_cast<int>((positions - 1) * v + 0.5);
}

// 0 for an index that is not stepped.
constexpr int positions(int32_t index) {
    switch (index) {
        case kProcess: return kProcessPositions;
        case kRatio: return kRatioPositions;
        case kTime: return kTimePositions;
        case kCompression: return kCompressionPositions;
        case kOutput: return kOutputPositions;
        default: return 0;
    }
}

}  // namespace parameters

// The programs every instance starts with: "Current" and the 32 factory presets.
#pragma once

constexpr int kNumPrograms = 33;

struct FactoryPreset {
    const char* name;
    float process;
    float ratio;
    float time;
    float compression;
    float output;
};

extern const FactoryPreset kFactoryPresets[kNumPrograms];

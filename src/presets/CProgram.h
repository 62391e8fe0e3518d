// One program: a name of at most 24 characters and the effect's twelve parameter values.
#pragma once

#include <atomic>

#include "host/vst_abi.h"

constexpr int kNumParameters = 12;

class CProgram {
public:
    CProgram();
    virtual ~CProgram() = default;

    // Takes at most the first 24 characters; a null text gives an empty name.
    virtual void setName(const char* text);
    // Copies the name with its terminator; out must hold at least 25 bytes.
    virtual void getName(char* out) const;
    // Out-of-range indices are ignored; values are clamped to 0..1 (NaN counts as 0).
    virtual void setValue(int index, float value);
    // -1 for an out-of-range index.
    virtual float getValue(int index) const;

private:
    // A host may rename from one thread while the editor reads names on another: each
    // character is a relaxed atomic, so a name read meanwhile may mix old and new but is
    // always terminated and never a data race.
    std::atomic<char> nameBuffer[kVstMaxProgNameLen + 1];
    // Hosts set parameters from more than one thread; each value is one relaxed atomic so
    // that two writers are no data race (the last one wins, as it would anyway).
    std::atomic<float> values[kNumParameters];
};

// Clamps a normalised parameter value; NaN, which no comparison can clamp, becomes 0.
float clampUnit(float value);

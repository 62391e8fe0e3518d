// The whole program store of an effect, to check that an operation changed nothing or
// exactly what it should. Values are compared bit for bit.
#pragma once

#include <cstring>
#include <ostream>
#include <string>

#include "presets/CPresetSystemEffect.h"

struct ProgramState {
    std::string name;
    float values[kNumParameters];
    bool operator==(const ProgramState& other) const {
        return name == other.name && std::memcmp(values, other.values, sizeof(values)) == 0;
    }
};

struct StoreSnapshot {
    ProgramState programs[kNumPrograms];
    int selected = 0;
    bool operator==(const StoreSnapshot& other) const {
        for (int k = 0; k < kNumPrograms; ++k)
            if (!(programs[k] == other.programs[k])) return false;
        return selected == other.selected;
    }
};

inline ProgramState programState(CPresetSystemEffect& effect, int k) {
    ProgramState state;
    char name[kVstMaxProgNameLen + 1];
    effect.program(k)->getName(name);
    state.name = name;
    for (int i = 0; i < kNumParameters; ++i) state.values[i] = effect.program(k)->getValue(i);
    return state;
}

inline StoreSnapshot storeSnapshot(CPresetSystemEffect& effect) {
    StoreSnapshot snapshot;
    for (int k = 0; k < kNumPrograms; ++k) snapshot.programs[k] = programState(effect, k);
    snapshot.selected = effect.getProgramIndex();
    return snapshot;
}

inline std::ostream& operator<<(std::ostream& out, const ProgramState& state) {
    out << '"' << state.name << '"';
    for (float v : state.values) out << ' ' << v;
    return out;
}

inline std::ostream& operator<<(std::ostream& out, const StoreSnapshot& snapshot) {
    out << "selected " << snapshot.selected;
    for (const ProgramState& p : snapshot.programs) out << "\n  " << p;
    return out;
}

// The parameters a CLAP host sees: the five active ones, with ids equal to our parameter
// indices, in a fixed order. Hosts keep parameters by position in their sessions, so this
// order never changes; a parameter added later goes at the end. The seven inactive indices
// are absent: they change nothing, and a host would offer them for automation and keep
// them in every session.
#pragma once

#include <cstdint>

#include "clap/clap_abi.h"

namespace clapfront {

struct ClapParameter {
    uint32_t id;
    // Stepped parameters travel as their position (Process 0 to 2, Ratio 0 to 6); the
    // others as our own normalised value from 0 to 1, exactly, since presets lie off any
    // coarser grid.
    bool enumerated;
};

constexpr uint32_t kNumClapParameters = 5;

// Null for a position outside the list.
const ClapParameter* parameterAt(uint32_t position);
// Null for an id that is not a parameter.
const ClapParameter* parameterWithId(uint32_t id);

double maxValue(const ClapParameter& parameter);
// The host's value for a normalised one, and back; out-of-range and NaN values are held
// to the range, and a stepped value taken to the nearest position.
double hostValue(const ClapParameter& parameter, float normalised);
float normalisedValue(const ClapParameter& parameter, double hostValue);

// Fills info for the parameter with its name and default (normalised).
void describe(const ClapParameter& parameter, const char* name, float defaultValue,
              clap_param_info& info);

}  // namespace clapfront

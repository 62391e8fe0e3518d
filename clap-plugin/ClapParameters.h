// The parameters a CLAP host sees: the five active ones, with ids equal to our parameter
// indices, in a fixed order. Hosts keep parameters by position in their sessions, so this
// order never changes; a parameter added later goes at the end. The seven inactive indices
// are absent: they change nothing, and a host would offer them for automation and keep
// them in every session. Values travel as effect/HostValues.h says.
#pragma once

#include <cstdint>

#include "clap/clap_abi.h"

namespace clapfront {

constexpr uint32_t kNumClapParameters = 5;

// The id at a position; CLAP_INVALID_ID outside the list.
uint32_t parameterIdAt(uint32_t position);
// True for an id that is one of the parameters.
bool isParameterId(uint32_t id);

// Fills info for the parameter with its name and default (normalised).
void describe(uint32_t id, const char* name, float defaultValue, clap_param_info& info);

}  // namespace clapfront

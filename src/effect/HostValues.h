// A parameter's value as plug-in formats with typed parameters carry it: the stepped lists
// (Process, Ratio) as their position, every other parameter as our own normalised value
// from 0 to 1, exactly, since factory presets lie off any coarser grid.
#pragma once

#include <cstdint>

namespace parameters {

// True for the parameters a host shows as a list of names.
bool isEnumeration(int32_t index);
// The largest host value: the last position of a list, else 1.
double maxHostValue(int32_t index);
// The host's value for a normalised one (held to 0 to 1; NaN is 0), a list's at the position
// the effect itself takes; and back, a host value held to its range and a list's rounded to
// the nearest position.
double hostValue(int32_t index, float normalised);
float normalisedValue(int32_t index, double hostValue);

}  // namespace parameters

#include "effect/HostValues.h"

#include <cmath>

#include "effect/Parameters.h"
#include "presets/CProgram.h"

namespace parameters {

bool isEnumeration(int32_t index) { return index == kProcess || index == kRatio; }

double maxHostValue(int32_t index) {
    return isEnumeration(index) ? positions(index) - 1 : 1.0;
}

double hostValue(int32_t index, float normalised) {
    const double v = clampUnit(normalised);
    if (!isEnumeration(index)) return v;
    // The position the effect itself takes for the value.
    return stepOf(v, positions(index));
}

float normalisedValue(int32_t index, double value) {
    const double top = maxHostValue(index);
    const double v = value > 0.0 ? (value < top ? value : top) : 0.0;  // NaN to 0
    if (!isEnumeration(index)) return static_cast<float>(v);
    return static_cast<float>(std::nearbyint(v) / top);
}

}  // namespace parameters

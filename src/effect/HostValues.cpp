#include "effect/HostValues.h"

#include <cmath>

#include "effect/Parameters.h"

namespace parameters {

bool isEnumeration(int32_t index) { return index == kProcess || index == kRatio; }

double maxHostValue(int32_t index) {
    return isEnumeration(index) ? positions(index) - 1 : 1.0;
}

double hostValue(int32_t index, float normalised) {
    const double v = normalised > 0.0f ? (normalised < 1.0f ? normalised : 1.0f) : 0.0f;
    if (!isEnumeration(index)) return v;
    return std::floor(maxHostValue(index) * v + 0.5);
}

float normalisedValue(int32_t index, double value) {
    const double top = maxHostValue(index);
    const double v = value > 0.0 ? (value < top ? value : top) : 0.0;  // NaN to 0
    if (!isEnumeration(index)) return static_cast<float>(v);
    return static_cast<float>(std::nearbyint(v) / top);
}

}  // namespace parameters

#include "effect/GainCurves.h"

namespace {
struct ValveConstants {
    double b, m;
};
// Higher ratios saturate earlier: the scale shrinks as the ratio grows.
constexpr ValveConstants kValveConstants[kNumRatioCurves] = {
    {32.0, 0.7}, {22.6272, 0.7}, {16.0, 0.5}, {11.3136, 0.5}, {8.0, 0.5}, {5.64, 0.5}, {4.0, 0.7},
};
}  // namespace

ValveCurve valveCurveFor(int ratioIndex) {
    if (ratioIndex < 0) ratioIndex = 0;
    if (ratioIndex >= kNumRatioCurves) ratioIndex = kNumRatioCurves - 1;
    const ValveConstants& c = kValveConstants[ratioIndex];
    return {c.b * c.m, (1.0 / c.b) / c.m};
}

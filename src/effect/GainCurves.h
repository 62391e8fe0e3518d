// The static curves of the compressor: gain against detector amplitude for each ratio,
// and the asymmetric valve saturation.
#pragma once

#include "effect/math/KrvMath.h"

constexpr int kNumRatioCurves = 7;

// Whether the curve of a ratio index uses atan(1.2 w) and tanh(w).
inline bool curveUsesArctangent(int ratioIndex) { return ratioIndex >= 2 && ratioIndex <= 5; }
inline bool curveUsesHyperbolicTangent(int ratioIndex) {
    return ratioIndex >= 5 && ratioIndex <= 6;
}

// The curve of ratioIndex at w, given arctangent = atan(1.2 w) and hyperbolicTangent =
// tanh(w) (a term the curve does not use is ignored). Callers that process many amplitudes
// compute the terms first and the rest in loops the compiler can vectorise.
inline double ratioCurve(int ratioIndex, double w, double arctangent, double hyperbolicTangent) {
    switch (ratioIndex) {
        case 0:
            return 0.6 / (1.0 + 0.4 * w) + 0.4;
        case 1:
            return 0.8 / (1.0 + 0.4 * w) + 0.2;
        case 2:
            return (0.7 * (0.9 * w / (1.0 + 0.35 * w) + 0.1 * w) +
                    0.3 * (0.92 * arctangent / 1.2 + 0.08 * w)) /
                   w;
        case 3:
            return (0.35 * (0.95 * w / (1.0 + 0.35 * w) + 0.05 * w) +
                    0.65 * (0.95 * arctangent / 1.2 + 0.05 * w)) /
                   w;
        case 4:
            return (0.97 * arctangent / 1.2 + 0.03 * w) / w;
        case 5:
            return (0.5 * (0.982 * arctangent / 1.2 + 0.018 * w) +
                    0.5 * (0.982 * hyperbolicTangent + 0.018 * w)) /
                   w;
        case 6:
            return (0.99 * hyperbolicTangent + 0.01 * w) / w;
        default:
            return 1.0;
    }
}

// Gain factor for detector amplitude w; 1 as w tends to 0. Any other index gives 1.
inline double ratioCurve(int ratioIndex, double w) {
    const double arctangent = curveUsesArctangent(ratioIndex) ? krvmath::atan(1.2 * w) : 0.0;
    const double hyperbolicTangent = curveUsesHyperbolicTangent(ratioIndex) ? krvmath::tanh(w) : 0.0;
    return ratioCurve(ratioIndex, w, arctangent, hyperbolicTangent);
}

// The valve stage of one ratio: unity slope at 0, saturating towards scale * pi/2 above
// and -scale / 0.64 below.
struct ValveCurve {
    double scale;        // L = B * M
    double inputFactor;  // h = (1 / B) / M, so that h * L = 1

    double shape(double y) const { return y >= 0.0 ? shapeNonNegative(y) : shapeNegative(y); }
    // The two halves, for callers that sort samples by sign first.
    double shapeNonNegative(double y) const { return krvmath::atan(y * inputFactor) * scale; }
    double shapeNegative(double y) const {
        return krvmath::tanh(y * inputFactor * -0.64) * scale / -0.64;
    }
};

// The valve curve that goes with a ratio index (0..6).
ValveCurve valveCurveFor(int ratioIndex);

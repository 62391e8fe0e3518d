// The static curves against their reference values.
#include "effect/GainCurves.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(RatioCurve, ReferenceGainsAtOneAndTen) {
    const double atOne[7] = {0.828571, 0.771429, 0.762160, 0.747101, 0.738147, 0.750396, 0.763978};
    const double atTen[7] = {0.52, 0.36, 0.268216, 0.200441, 0.150252, 0.127970, 0.109000};
    for (int k = 0; k < 7; ++k) {
        EXPECT_NEAR(ratioCurve(k, 1.0), atOne[k], 5e-7) << k;
        EXPECT_NEAR(ratioCurve(k, 10.0), atTen[k], 5e-7) << k;
    }
}

TEST(RatioCurve, SilenceGainsAtTheEnvelopeFloor) {
    const double atFloor[7] = {0.992505, 0.990007, 0.992971, 0.996064, 0.999535, 0.999601, 0.999670};
    for (int k = 0; k < 7; ++k) EXPECT_NEAR(ratioCurve(k, std::sqrt(0.001)), atFloor[k], 5e-7) << k;
}

TEST(RatioCurve, UnityTowardsZeroAndFallingWithLevel) {
    for (int k = 0; k < 7; ++k) {
        EXPECT_NEAR(ratioCurve(k, 1e-9), 1.0, 1e-8) << k;
        double previous = 1.0;
        for (double w = 0.03; w < 100.0; w *= 1.5) {
            double gain = ratioCurve(k, w);
            EXPECT_LT(gain, previous) << k << " at " << w;
            previous = gain;
        }
    }
    EXPECT_EQ(ratioCurve(7, 5.0), 1.0);
    EXPECT_EQ(ratioCurve(-1, 5.0), 1.0);
}

TEST(ValveCurve, FactorsOfEachRatio) {
    const double scales[7] = {22.4, 15.83904, 8, 5.6568, 4, 2.82, 2.8};
    const double factors[7] = {0.044642857142857144, 0.06313513950340426, 0.125,
                               0.1767783906095319,   0.25,                0.3546099290780142,
                               0.35714285714285715};
    for (int k = 0; k < 7; ++k) {
        ValveCurve valve = valveCurveFor(k);
        EXPECT_DOUBLE_EQ(valve.scale, scales[k]) << k;
        EXPECT_EQ(valve.inputFactor, factors[k]) << k;
        EXPECT_NEAR(valve.scale * valve.inputFactor, 1.0, 1e-15) << k;
    }
    EXPECT_EQ(valveCurveFor(9).scale, valveCurveFor(6).scale);
    EXPECT_EQ(valveCurveFor(-3).scale, valveCurveFor(0).scale);
}

TEST(ValveCurve, UnitySlopeAtZeroAndAsymmetricLimits) {
    for (int k = 0; k < 7; ++k) {
        ValveCurve valve = valveCurveFor(k);
        EXPECT_EQ(valve.shape(0.0), 0.0);
        EXPECT_NEAR(valve.shape(1e-6) / 1e-6, 1.0, 1e-9) << k;
        EXPECT_NEAR(valve.shape(-1e-6) / -1e-6, 1.0, 1e-9) << k;
        EXPECT_NEAR(valve.shape(1e9), valve.scale * M_PI / 2, 1e-6 * valve.scale) << k;
        EXPECT_NEAR(valve.shape(-1e9), -valve.scale / 0.64, 1e-9 * valve.scale) << k;
    }
}

}  // namespace

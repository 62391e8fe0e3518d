#include "effect/CBiquad.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CBiquad designed(int type, double rate, double frequency, double q) {
    CBiquad section(rate, type, frequency, q);
    section.design();
    return section;
}

TEST(CBiquad, LowPassDesignsHaveUnityGainAtDc) {
    for (double rate : {22050.0, 44100.0, 96000.0, 192000.0})
        for (double frequency : {0.5, 2.0, 5.0, 100.0, 5000.0})
            for (double q : {0.1, 0.5, 0.583}) {
                CBiquad s = designed(CBiquad::kLowPass, rate, frequency, q);
                // Numerator and denominator of the DC gain agree to rounding; their quotient
                // would magnify the rounding at low cut-offs.
                EXPECT_NEAR(s.b0 + s.b1 + s.b2, 1.0 + s.a1 + s.a2, 1e-15)
                    << rate << " " << frequency << " " << q;
                EXPECT_EQ(s.offset, 1e-12);
                EXPECT_NEAR(s.a0 * s.a2, 2.0 - s.a0, 1e-12) << "a0 keeps 1 + alpha";
            }
}

TEST(CBiquad, HighPassDesignsBlockDc) {
    for (double rate : {44100.0, 48000.0, 192000.0})
        for (double frequency : {20.0, 40.0, 1000.0}) {
            CBiquad s = designed(CBiquad::kHighPass, rate, frequency, 0.3);
            EXPECT_EQ(s.b0 + s.b1 + s.b2, 0.0);
            EXPECT_EQ(s.offset, 1e-14) << "only the low-pass resets the offset";
        }
}

TEST(CBiquad, FrequencyAboveNearNyquistIsStoredLimited) {
    CBiquad s = designed(CBiquad::kLowPass, 44100.0, 30000.0, 0.5);
    EXPECT_EQ(s.frequency, 0.499 * 44100.0);
    EXPECT_TRUE(std::isfinite(s.b0));
    CBiquad h = designed(CBiquad::kHighPass, 44100.0, 1e9, 0.3);
    EXPECT_EQ(h.frequency, 0.499 * 44100.0);
    EXPECT_TRUE(std::isfinite(h.a1));
}

TEST(CBiquad, FirstOutputAfterClearCarriesTheFlippedOffset) {
    CBiquad s = designed(CBiquad::kLowPass, 44100.0, 5.0, 0.5);
    s.step(0.3);
    s.clear();
    double flipped = -s.offset;
    EXPECT_EQ(s.step(1.0), s.b0 * (1.0 + flipped));
    EXPECT_EQ(s.x, 1.0 + flipped);
}

TEST(CBiquad, FourfoldStepFlipsTheOffsetOnceAndRepeatsTheInput) {
    CBiquad a = designed(CBiquad::kLowPass, 44100.0, 100.0, 0.1);
    CBiquad b = a;
    double four = a.stepFourTimes(0.5);
    EXPECT_EQ(a.offset, -b.offset);
    EXPECT_EQ(a.x1, a.x2);
    // Four single steps differ only by the alternating offset.
    double single = 0;
    for (int i = 0; i < 4; ++i) single = b.step(0.5);
    EXPECT_NEAR(four, single, 1e-11);
    EXPECT_NE(four, 0.0);
}

TEST(CBiquad, PassThroughChangesNothing) {
    CBiquad s = designed(CBiquad::kPassThrough, 44100.0, 100.0, 0.5);
    EXPECT_EQ(s.b0, 1.0);
    EXPECT_EQ(s.step(0.25), 0.25);
    EXPECT_EQ(s.stepFourTimes(-0.5), -0.5);
    EXPECT_EQ(s.offset, 1e-14);
    EXPECT_EQ(s.y, 0.0);
}

}  // namespace

// The store every effect starts with, checked against the published preset list.
#include <gtest/gtest.h>

#include "support/InProcessEffect.h"

namespace {

struct Expected {
    const char* name;
    float process, ratio, time, compression, output;
};

constexpr float r(int k) { return k / 6.0f; }

const Expected kExpected[33] = {
    {"Current", 1, r(3), 0.5f, 0.5f, 0},
    {"Default", 1, r(3), 0.5f, 0.5f, 0},
    {"CompressLite1", 1, 0, 0.5f, 0.5f, 0.15f},
    {"CompressLite2", 1, r(1), 0.5f, 0.5f, 0.15f},
    {"CompressMed1", 1, r(2), 0.5f, 0.5f, 0.15f},
    {"CompressMed2", 1, r(3), 0.5f, 0.5f, 0.15f},
    {"CompressHeavy1", 1, r(4), 0.5f, 0.5f, 0.15f},
    {"CompressHeavy2", 1, r(5), 0.5f, 0.5f, 0.15f},
    {"SlowLim", 1, 1, 0.5f, 0.5f, 0.1f},
    {"FastLim", 1, 1, 0.2f, 0.5f, 0.1f},
    {"Leveller", 1, r(3), 0.8f, 0.75f, 0.3f},
    {"Glue Things Together", 1, r(3), 0.6f, 0.375f, 0.133f},
    {"Hats Smasher", 1, 1, 0, 0.775f, 0.425f},
    {"Kick Fattener", 1, r(5), 0.15f, 0.5f, 0.25f},
    {"Make it Pump", 1, r(2), 0, 0.65f, 0.183f},
    {"Snare Puncher", 1, r(5), 0.35f, 0.375f, 0.166f},
    {"Kick", 1, r(3), 0.3f, 0.5f, 0.133f},
    {"Pop Rock Vocal", 1, r(3), 0.8f, 0.75f, 0.3f},
    {"Room Ambience", 1, r(4), 0.7f, 0.275f, 0.166f},
    {"Snare Bottom", 1, r(3), 0.35f, 0.225f, 0.133f},
    {"Snare Piccolo Top 1", 1, r(4), 0.6f, 0.3f, 0.183f},
    {"Snare Piccolo Top 2", 1, r(3), 0.4f, 0.5f, 0.216f},
    {"Stereo Drums Over", 1, r(4), 0.55f, 0.6f, 0.233f},
    {"Stereo Toms", 1, r(4), 0.5f, 0.625f, 0.233f},
    {"Vox", 0.5f, r(3), 0.35f, 0.5f, 0.1f},
    {"Genty Wips", 1, 0, 0.1f, 0.325f, 0},
    {"Punchy Kick", 1, 1, 0.45f, 0.575f, 0.15f},
    {"Kick 2", 1, r(5), 0.35f, 0.4f, 0.133f},
    {"Loud Bass", 1, r(3), 0.15f, 0.675f, 0.2f},
    {"4k", 1, r(2), 0.35f, 0.575f, 0.083f},
    {"Bus Comp 1", 0.5f, r(2), 0.4f, 0.525f, 0.116f},
    {"Bus Comp 2", 0.5f, r(5), 0.25f, 0.525f, 0.083f},
    {"Bus Comp 3", 1, r(2), 0.15f, 0.625f, 0.083f},
};

TEST(FactoryPresets, EveryProgramMatchesThePublishedList) {
    InProcessEffect fixture;
    for (int k = 0; k < 33; ++k) {
        const CProgram* p = fixture.effect().program(k);
        ASSERT_NE(p, nullptr);
        const Expected& e = kExpected[k];
        char name[25];
        p->getName(name);
        EXPECT_STREQ(name, e.name) << k;
        const float values[12] = {e.process, 0, e.ratio, 0, e.time, e.compression, e.output,
                                  0,         0, 0,       0, 0};
        for (int i = 0; i < 12; ++i) EXPECT_EQ(p->getValue(i), values[i]) << k << "/" << i;
    }
    EXPECT_EQ(fixture.effect().program(33), nullptr);
    EXPECT_EQ(fixture.effect().program(-1), nullptr);
}

TEST(FactoryPresets, RatioSixthsAreTheNearestFloats) {
    InProcessEffect fixture;
    EXPECT_EQ(fixture.effect().program(3)->getValue(2), 0.16666667f);
    EXPECT_EQ(fixture.effect().program(4)->getValue(2), 0.33333334f);
    EXPECT_EQ(fixture.effect().program(7)->getValue(2), 0.8333333f);
    EXPECT_NE(fixture.effect().program(15)->getValue(6), 1.0f / 6.0f);  // 0.166 is not a sixth
}

}  // namespace

// What each parameter derives for the signal path, and the channel configuration.
#include <gtest/gtest.h>

#include <cmath>

#include "effect/math/KrvMath.h"
#include "support/InProcessEffect.h"

namespace {

class DerivedValuesTest : public ::testing::Test {
protected:
    InProcessEffect fixture;
    AutoComp& effect = fixture.effect();
};

TEST_F(DerivedValuesTest, DefaultsOfProgramZero) {
    EXPECT_EQ(effect.getProcessMode(), 2);
    EXPECT_EQ(effect.getRatioIndex(), 3);
    EXPECT_DOUBLE_EQ(effect.getTimeScale(), 0.05);
    // Compression 0.5: k = trunc(40 * 0.5^0.7071 + 0.5) = 25.
    EXPECT_EQ(effect.getInputGainTarget(), krvmath::pow(1024.0, 25 / 40.0) * 0.125);
    EXPECT_EQ(effect.getOutputGainTarget(), 1.0);
}

TEST_F(DerivedValuesTest, EndsOfEachRange) {
    effect.setParameter(4, 0.0f);
    EXPECT_DOUBLE_EQ(effect.getTimeScale(), 0.005);
    effect.setParameter(4, 1.0f);
    EXPECT_DOUBLE_EQ(effect.getTimeScale(), 0.5);
    effect.setParameter(5, 0.0f);
    EXPECT_EQ(effect.getInputGainTarget(), 0.125);
    effect.setParameter(5, 1.0f);
    EXPECT_EQ(effect.getInputGainTarget(), 128.0);
    effect.setParameter(6, 1.0f);
    EXPECT_DOUBLE_EQ(effect.getOutputGainTarget(), 31.622776601683793);
    effect.setParameter(6, -0.3f);
    EXPECT_EQ(effect.getOutputGainTarget(), 1.0);
    effect.setParameter(2, 2.0f);
    EXPECT_EQ(effect.getRatioIndex(), 6);
    effect.setParameter(0, -1.0f);
    EXPECT_EQ(effect.getProcessMode(), 0);
}

TEST_F(DerivedValuesTest, OutputStepsAreHalfDecibels) {
    effect.setParameter(6, 1.0f / 60.0f);
    EXPECT_NEAR(20.0 * std::log10(effect.getOutputGainTarget()), 0.5, 1e-12);
}

TEST_F(DerivedValuesTest, ChannelConfigurations) {
    struct Case {
        VstInt32 in, out;
        bool accepted, secondInput, secondOutput;
    } cases[] = {
        {1, 1, true, false, false}, {1, 2, true, false, true}, {2, 2, true, true, true},
        {2, 1, false, true, true},  {3, 3, false, true, true},
    };
    for (const Case& c : cases) {
        VstSpeakerArrangement in{0, c.in}, out{0, c.out};
        EXPECT_EQ(effect.setSpeakerArrangement(&in, &out), c.accepted) << c.in << c.out;
        EXPECT_EQ(effect.usesSecondInput(), c.secondInput) << c.in << c.out;
        EXPECT_EQ(effect.usesSecondOutput(), c.secondOutput) << c.in << c.out;
    }
}

}  // namespace

// Parameter names, labels, displays and clamping, through the built plug-in.
#include <gtest/gtest.h>

#include "support/PluginFixture.h"

namespace {

using ParametersTest = PluginFixture;

TEST_F(ParametersTest, NamesAndLabels) {
    const char* names[12] = {"Process", " ", "Ratio", " ", "Time", "Compression",
                             "Output",  " ", " ",     " ", " ",    " "};
    for (VstInt32 i = 0; i < 12; ++i) {
        EXPECT_EQ(plugin->parameterName(i), names[i]) << i;
        EXPECT_EQ(plugin->parameterLabel(i), " ") << i;
    }
    for (VstInt32 i : {12, 100, -1}) {
        EXPECT_EQ(plugin->parameterName(i), " ");
        EXPECT_EQ(plugin->parameterLabel(i), " ");
        EXPECT_EQ(plugin->parameterDisplay(i), " ");
    }
}

TEST_F(ParametersTest, DefaultsAfterConstruction) {
    EXPECT_EQ(plugin->parameterDisplay(0), "Valve");
    EXPECT_EQ(plugin->parameterDisplay(2), "3:1");
    EXPECT_EQ(plugin->parameterDisplay(4), "5.00");
    EXPECT_EQ(plugin->parameterDisplay(5), "5.00");
    EXPECT_EQ(plugin->parameterDisplay(6), "0.00");
    const float values[12] = {1.0f, 0, 0.5f, 0, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0};
    for (VstInt32 i = 0; i < 12; ++i) EXPECT_EQ(plugin->getParameter(i), values[i]) << i;
    for (VstInt32 i : {1, 3, 7, 11}) EXPECT_EQ(plugin->parameterDisplay(i), " ");
}

TEST_F(ParametersTest, ProcessSwitchesAtQuarterAndThreeQuarters) {
    const std::pair<float, const char*> cases[] = {
        {0.0f, "Off"},    {0.2499f, "Off"},  {0.24f, "Off"},   {0.25f, "Clear"},
        {0.74f, "Clear"}, {0.75f, "Valve"},  {1.0f, "Valve"},
    };
    for (auto [value, text] : cases) {
        plugin->setParameter(0, value);
        EXPECT_EQ(plugin->parameterDisplay(0), text) << value;
    }
}

TEST_F(ParametersTest, RatioPositions) {
    const char* texts[7] = {"1.2:1", "1.5:1", "2:1", "3:1", "4:1", "6:1", "10:1"};
    for (int k = 0; k < 7; ++k) {
        plugin->setParameter(2, k / 6.0f);
        EXPECT_EQ(plugin->parameterDisplay(2), texts[k]) << k;
    }
    plugin->setParameter(2, 0.58f);
    EXPECT_EQ(plugin->parameterDisplay(2), "3:1");
}

TEST_F(ParametersTest, NumbersShowTheirSteps) {
    plugin->setParameter(4, 0.53f);
    EXPECT_EQ(plugin->parameterDisplay(4), "5.50");
    plugin->setParameter(4, 1.0f);
    EXPECT_EQ(plugin->parameterDisplay(4), "10.00");
    plugin->setParameter(5, 0.33f);
    EXPECT_EQ(plugin->parameterDisplay(5), "3.25");
    plugin->setParameter(5, 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(5), "0.00");
    plugin->setParameter(6, 0.5f);
    EXPECT_EQ(plugin->parameterDisplay(6), "15.00");
}

TEST_F(ParametersTest, ValuesAreClampedAndBadIndicesIgnored) {
    plugin->setParameter(6, 1.7f);
    EXPECT_EQ(plugin->getParameter(6), 1.0f);
    EXPECT_EQ(plugin->parameterDisplay(6), "30.00");
    plugin->setParameter(6, -0.3f);
    EXPECT_EQ(plugin->getParameter(6), 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(6), "0.00");
    plugin->setParameter(5, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(plugin->getParameter(5), 0.0f);
    plugin->setParameter(12, 0.5f);
    plugin->setParameter(-1, 0.5f);
    EXPECT_EQ(plugin->getParameter(12), 0.0f);
    EXPECT_EQ(plugin->getParameter(-1), 0.0f);
    EXPECT_EQ(plugin->getParameter(0), 1.0f);
}

TEST_F(ParametersTest, UnnamedParametersAreStoredAndRecalled) {
    plugin->setParameter(9, 0.25f);
    EXPECT_EQ(plugin->getParameter(9), 0.25f);
    EXPECT_EQ(plugin->parameterDisplay(9), " ");
}

}  // namespace

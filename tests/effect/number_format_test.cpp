#include "effect/NumberFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string format(float x) {
    char text[32];
    formatParameterNumber(x, text);
    return text;
}

TEST(NumberFormat, TwoDecimalsForTheDisplayedRange) {
    EXPECT_EQ(format(0.0f), "0.00");
    EXPECT_EQ(format(0.25f), "0.25");
    EXPECT_EQ(format(5.5f), "5.50");
    EXPECT_EQ(format(10.0f), "10.00");
    EXPECT_EQ(format(30.0f), "30.00");
    EXPECT_EQ(format(9.75f), "9.75");
    EXPECT_EQ(format(29.5f), "29.50");
}

TEST(NumberFormat, RoundsHalfAwayFromZeroAtTheSecondDecimal) {
    EXPECT_EQ(format(0.125f), "0.13");
    EXPECT_EQ(format(0.124f), "0.12");
    EXPECT_EQ(format(0.126f), "0.13");
    EXPECT_EQ(format(0.29f), "0.29");
    EXPECT_EQ(format(0.995f), "1.00");
    EXPECT_EQ(format(-0.125f), "-0.13");
    EXPECT_EQ(format(-2.5f), "-2.50");
}

TEST(NumberFormat, NonFiniteInputGivesZero) {
    EXPECT_EQ(format(std::numeric_limits<float>::quiet_NaN()), "0.00");
    EXPECT_EQ(format(std::numeric_limits<float>::infinity()), "0.00");
}

TEST(NumberFormat, LargeValuesKeepSevenIntegerCharacters) {
    EXPECT_EQ(format(1234567.0f), "1234567.00");
    EXPECT_EQ(format(-123456.0f), "-123456.00");
    std::string huge = format(3e12f);
    EXPECT_EQ(huge.size(), 10u);
}

}  // namespace

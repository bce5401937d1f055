#include "toolkit/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace reelhaven {
namespace {

TEST(NumberTextTest, DoublesAlwaysShowAFractionalPartInTheirShortestForm) {
    EXPECT_EQ(doubleText(2), "2.0");
    EXPECT_EQ(doubleText(1.5), "1.5");
    EXPECT_EQ(doubleText(-0.5), "-0.5");
    EXPECT_EQ(doubleText(0), "0.0");
    EXPECT_EQ(doubleText(0.1), "0.1");
    EXPECT_EQ(doubleText(1.0 / 3.0), "0.3333333333333333");
    EXPECT_EQ(doubleText(100000), "100000.0");
}

TEST(NumberTextTest, VeryLargeSmallAndNonFiniteValuesUseTheirOwnForms) {
    EXPECT_EQ(doubleText(0.00001), "1e-05");
    EXPECT_EQ(doubleText(0.0001), "0.0001");
    EXPECT_EQ(doubleText(9007199254740992.0), "9.007199254740992e+15");
    EXPECT_EQ(doubleText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(doubleText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(doubleText(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(NumberTextTest, RoundingTakesHalvesToTheEvenDecimalDigit) {
    EXPECT_EQ(roundedHalfEven(1.25, 1), 1.2);
    EXPECT_EQ(roundedHalfEven(1.35, 1), 1.4);
    EXPECT_EQ(roundedHalfEven(1.15, 1), 1.2);  // the decimal 1.15, not its binary neighbour below
    EXPECT_EQ(roundedHalfEven(1.251, 1), 1.3);
    EXPECT_EQ(roundedHalfEven(0.95, 1), 1.0);
    EXPECT_EQ(roundedHalfEven(9.96, 1), 10.0);
    EXPECT_EQ(roundedHalfEven(-1.25, 1), -1.2);
    EXPECT_EQ(roundedHalfEven(-1.26, 1), -1.3);
    EXPECT_EQ(roundedHalfEven(4, 1), 4.0);
    EXPECT_EQ(roundedHalfEven(2.5, 0), 2.0);
    EXPECT_EQ(roundedHalfEven(3.5, 0), 4.0);
    EXPECT_EQ(roundedHalfEven(0.30000000000000004, 1), 0.3);
}

TEST(NumberTextTest, NonFiniteValuesAreNotRounded) {
    EXPECT_TRUE(std::isnan(roundedHalfEven(std::numeric_limits<double>::quiet_NaN(), 1)));
    EXPECT_EQ(roundedHalfEven(std::numeric_limits<double>::infinity(), 1), std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace reelhaven

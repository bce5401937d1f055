#include "core/video_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

namespace reelhaven {
namespace {

struct LabelCase {
    double seconds;
    const char* label;
};

TEST(VideoTimeTest, TimeStringCoversEveryRangeAndSign) {
    const LabelCase cases[] = {
        {0, "0:00"},       {7, "0:07"},         {9.4, "0:09"},       {9.99, "0:09"},       {-3, "-0:03"},
        {-5, "-0:05"},     {10, "0:10"},        {42, "0:42"},        {-42, "-0:42"},       {59, "0:59"},
        {59.9, "0:59"},    {60, "1:00"},        {75, "1:15"},        {-75, "-1:15"},       {599.5, "9:59"},
        {3599.9, "59:59"}, {3600, "60:00"},     {-3600, "-60:00"},   {3600.5, "1:00:00"},  {3601, "1:00:01"},
        {3725, "1:02:05"}, {-3725, "-1:02:05"}, {36000, "10:00:00"}, {359999, "99:59:59"}, {360000, "100:00:00"}};
    for (const auto& c : cases) EXPECT_EQ(VideoTime::timeString(c.seconds), c.label) << c.seconds;
}

TEST(VideoTimeTest, TimeStringNeverShowsANegativeZero) {
    EXPECT_EQ(VideoTime::timeString(-0.0), "0:00");
    EXPECT_EQ(VideoTime::timeString(-0.4), "0:00");
    EXPECT_EQ(VideoTime::timeString(-0.999), "0:00");
    EXPECT_EQ(VideoTime::timeString(-1.0), "-0:01");
}

TEST(VideoTimeTest, TimeStringKeepsTwoDigitSecondsForFractions) {
    // Rounding 59.6 up would give a seconds field of 60 in the "0:ss" range.
    for (double t : {9.5, 9.999, 59.5, 59.999, 3599.6, -59.7}) {
        auto label = VideoTime::timeString(t);
        ASSERT_TRUE(label);
        auto colon = label->rfind(':');
        ASSERT_NE(colon, std::string::npos);
        EXPECT_EQ(label->size() - colon - 1, 2u) << *label;
        EXPECT_LT(std::stoi(label->substr(colon + 1)), 60) << *label;
    }
}

TEST(VideoTimeTest, TimeStringHasNoTextForTimesThatAreNotFinite) {
    EXPECT_FALSE(VideoTime::timeString(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(VideoTime::timeString(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(VideoTime::timeString(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(VideoTime::timeString(1e300));
}

TEST(VideoTimeTest, CodesAsAnObjectWithSeconds) {
    nlohmann::json json = VideoTime{12.5};
    EXPECT_EQ(json.dump(), R"({"seconds":12.5})");
    EXPECT_EQ(nlohmann::json::parse(R"({"seconds":3})").get<VideoTime>(), VideoTime{3});
    EXPECT_THROW(nlohmann::json::parse(R"({"seconds":"3"})").get<VideoTime>(), nlohmann::json::exception);
    EXPECT_THROW(nlohmann::json::parse(R"({})").get<VideoTime>(), nlohmann::json::exception);
}

TEST(VideoTimeTest, ZeroesOfBothSignsAreEqualAndHashAlike) {
    EXPECT_EQ(VideoTime{0.0}, VideoTime{-0.0});
    EXPECT_EQ(VideoTimeHash{}(VideoTime{0.0}), VideoTimeHash{}(VideoTime{-0.0}));
}

}  // namespace
}  // namespace reelhaven

#include "playback/player_gesture_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace reelhaven::gesture_rules {
namespace {

TEST(PanDeadZone, TheOffsetIsTakenWhenTheFingerLeavesTheZoneAndKeptForThePan) {
    std::optional<double> origin;
    EXPECT_EQ(deadZoneOffset(origin, 40), 0);
    EXPECT_EQ(deadZoneOffset(origin, -40), 0);
    EXPECT_FALSE(origin);
    EXPECT_EQ(deadZoneOffset(origin, 41), -40);
    EXPECT_EQ(deadZoneOffset(origin, -100), -40);  // kept, even after turning back
    std::optional<double> upward;
    EXPECT_EQ(deadZoneOffset(upward, -60), 40);
}

TEST(PanLevels, UpwardRaisesOverTheFullRangeAndClamps) {
    EXPECT_DOUBLE_EQ(panLevel(0.5, -125, 250), 1.0);
    EXPECT_DOUBLE_EQ(panLevel(0.5, -50, 500), 0.6);
    EXPECT_DOUBLE_EQ(panLevel(0.5, 1000, 500), 0.0);
    EXPECT_DOUBLE_EQ(panLevel(0.9, -1000, 250), 1.0);
}

TEST(PanLevels, SmallStepsWaitButZeroAlwaysApplies) {
    EXPECT_FALSE(levelChangeApplies(0.505, 0.5, 0.01));
    EXPECT_TRUE(levelChangeApplies(0.51, 0.5, 0.01));
    EXPECT_TRUE(levelChangeApplies(0.008, std::nullopt, 0.008));
    EXPECT_TRUE(levelChangeApplies(0.0, 0.004, 0.008));
}

TEST(PanSeekThrottle, FlagsFollowSpeedDurationAndDistance) {
    struct Case {
        double offset;
        std::optional<double> last;
        double velocity;
        double duration;
        std::optional<std::string> flag;
    };
    const Case cases[] = {
        {0.5, std::nullopt, 0, 100, std::nullopt},  // within half a second of the start
        {-0.5, 2.0, 0, 100, std::nullopt},
        {0.6, std::nullopt, 0, 100, "absolute"},
        {1.0, 0.97, 0, 100, std::nullopt},  // under a frame of change
        {1.0, 0.958, 0, 100, "absolute"},
        {5.0, std::nullopt, 400, 300, "absolute"},  // fast on a short video: exact
        {5.0, 4.5, 400, 300, "absolute"},
        {5.0, 4.5, 400, 301, std::nullopt},  // fast on a long video: waits for 0.8 s
        {5.0, 4.1, 400, 301, "absolute+keyframes"},
        {3.0, 2.0, -400, 3600, "absolute"},  // forward jumps over 3 s only go by keyframe
        {-5.0, -4.0, 400, 3600, "absolute"},
        {5.0, 4.5, 350, 3600, "absolute"},  // 350 points/s is not fast
    };
    for (const auto& c : cases) {
        auto flag = panSeekFlag(c.offset, c.last, c.velocity, c.duration);
        EXPECT_EQ(flag ? std::optional<std::string>(*flag) : std::nullopt, c.flag)
            << "offset " << c.offset << " last " << c.last.value_or(-1) << " v " << c.velocity << " D " << c.duration;
    }
}

TEST(PinchLadder, TwoStepsUnlessAWideVideoMeetsSideInsets) {
    EXPECT_TRUE(usesThreeStepLadder(2.39, 19.5 / 9, 0, 47));
    EXPECT_FALSE(usesThreeStepLadder(2.39, 19.5 / 9, 0, 0));
    EXPECT_FALSE(usesThreeStepLadder(16.0 / 9, 19.5 / 9, 47, 47));
    EXPECT_FALSE(usesThreeStepLadder(0, 19.5 / 9, 47, 47));  // unknown aspect

    using enum ContentMode;
    EXPECT_EQ(pinchedContentMode(aspectFit, 1.61, false), aspectFill);
    EXPECT_EQ(pinchedContentMode(aspectFill, 0.59, false), aspectFit);
    EXPECT_EQ(pinchedContentMode(aspectFitUnsafe, 1.61, false), std::nullopt);
    EXPECT_EQ(pinchedContentMode(aspectFitUnsafe, 0.59, false), std::nullopt);
    EXPECT_EQ(pinchedContentMode(aspectFit, 1.6, false), std::nullopt);
    EXPECT_EQ(pinchedContentMode(aspectFill, 0.6, true), std::nullopt);

    EXPECT_EQ(pinchedContentMode(aspectFit, 1.61, true), aspectFitUnsafe);
    EXPECT_EQ(pinchedContentMode(aspectFitUnsafe, 1.61, true), aspectFill);
    EXPECT_EQ(pinchedContentMode(aspectFill, 1.61, true), std::nullopt);
    EXPECT_EQ(pinchedContentMode(aspectFill, 0.59, true), aspectFitUnsafe);
    EXPECT_EQ(pinchedContentMode(aspectFitUnsafe, 0.59, true), aspectFit);
    EXPECT_EQ(pinchedContentMode(aspectFit, 0.59, true), std::nullopt);
}

TEST(AspectButton, GoesRoundTheLadderThatApplies) {
    using enum ContentMode;
    EXPECT_EQ(toggledContentMode(aspectFit, false), aspectFill);
    EXPECT_EQ(toggledContentMode(aspectFill, false), aspectFit);
    EXPECT_EQ(toggledContentMode(aspectFitUnsafe, false), aspectFill);  // left by a three-step screen

    EXPECT_EQ(toggledContentMode(aspectFit, true), aspectFitUnsafe);
    EXPECT_EQ(toggledContentMode(aspectFitUnsafe, true), aspectFill);
    EXPECT_EQ(toggledContentMode(aspectFill, true), aspectFit);
}

}  // namespace
}  // namespace reelhaven::gesture_rules

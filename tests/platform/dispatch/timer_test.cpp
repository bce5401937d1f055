#include <gtest/gtest.h>

#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"

using namespace dispatch;

TEST(Timer, RepeatingTimerFiresOnItsGridAsTheClockAdvances) {
    ScopedMainRunLoop loop;
    std::vector<double> times;
    auto timer = Timer::scheduledTimer(0.2, true, [&](Timer&) { times.push_back(toSeconds(loop.clock().now())); });
    loop.advanceSeconds(1.0);
    ASSERT_EQ(times.size(), 5u);
    EXPECT_NEAR(times.front(), 0.2, 1e-9);
    EXPECT_NEAR(times.back(), 1.0, 1e-9);
    loop.advanceSeconds(10.0);
    EXPECT_EQ(times.size(), 55u);
}

TEST(Timer, InvalidateStopsItForGood) {
    ScopedMainRunLoop loop;
    int fired = 0;
    auto timer = Timer::scheduledTimer(5.0, true, [&](Timer&) { ++fired; });
    loop.advanceSeconds(5);
    timer->invalidate();
    loop.advanceSeconds(60);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
}

TEST(Timer, CanInvalidateItselfFromItsBlock) {
    ScopedMainRunLoop loop;
    int fired = 0;
    Timer::scheduledTimer(1.0, true, [&](Timer& self) {
        if (++fired == 3) self.invalidate();
    });
    loop.advanceSeconds(10);
    EXPECT_EQ(fired, 3);
}

TEST(Timer, OneShotTimerFiresOnceAndIsKeptAliveByTheLoop) {
    ScopedMainRunLoop loop;
    int fired = 0;
    std::weak_ptr<Timer> weak = Timer::scheduledTimer(30.0, false, [&](Timer&) { ++fired; });
    EXPECT_FALSE(weak.expired());
    loop.advanceSeconds(29.9);
    EXPECT_EQ(fired, 0);
    loop.advanceSeconds(0.2);
    EXPECT_EQ(fired, 1);
    loop.advanceSeconds(30);
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(weak.expired());
}

TEST(Timer, FireRunsTheBlockAtOnceAndEndsAOneShotTimer) {
    ScopedMainRunLoop loop;
    int fired = 0;
    auto timer = Timer::scheduledTimer(1.0, false, [&](Timer&) { ++fired; });
    timer->fire();
    loop.advanceSeconds(2);
    EXPECT_EQ(fired, 1);
}

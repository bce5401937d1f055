#include "platform/dispatch/work_item.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/sleep.h"

using namespace dispatch;

TEST(WorkItem, RunsAfterItsDelayUnlessCancelledFirst) {
    ScopedMainRunLoop loop;
    std::vector<int> ran;
    auto kept = WorkItem::create([&] { ran.push_back(1); });
    auto cancelled = WorkItem::create([&] { ran.push_back(2); });
    Queue::main()->asyncAfter(4.0, kept);
    Queue::main()->asyncAfter(4.0, cancelled);
    loop.advanceSeconds(3.9);
    cancelled->cancel();
    EXPECT_TRUE(ran.empty());
    loop.advanceSeconds(0.1);
    EXPECT_EQ(ran, std::vector<int>{1});
    EXPECT_TRUE(cancelled->isCancelled());
    EXPECT_FALSE(kept->isCancelled());
}

TEST(WorkItem, EmptyItemDoesNothingAndAsyncRunsOnTheQueue) {
    ScopedMainRunLoop loop;
    auto empty = WorkItem::create();
    Queue::main()->async(empty);
    bool onMain = false;
    Queue::main()->async(WorkItem::create([&] { onMain = Queue::main()->isCurrent(); }));
    loop.runUntilIdle();
    EXPECT_TRUE(onMain);
}

TEST(WorkItem, ABackgroundQueueRunsTheItemWhenTheMainClockReachesItsTime) {
    ScopedMainRunLoop loop;
    auto queue = Queue::create("test.work-item");
    std::atomic<bool> ran{false};
    queue->asyncAfter(seconds(1), WorkItem::create([&] { ran = true; }));
    loop.advanceSeconds(1);
    queue->sync([] {});
    EXPECT_TRUE(ran);
}

TEST(Sleep, IsRecordedOnTheManualClockWithoutMovingTime) {
    ScopedMainRunLoop loop;
    clearRecordedSleeps();
    bool timerFired = false;
    Queue::main()->asyncAfter(0.1, [&] { timerFired = true; });
    sleepFor(0.5);
    sleepFor(0.3);
    EXPECT_EQ(recordedSleeps(), (std::vector<Duration>{seconds(0.5), seconds(0.3)}));
    EXPECT_EQ(loop.loop().now(), TimePoint{0});
    loop.runUntilIdle();
    EXPECT_FALSE(timerFired);
    clearRecordedSleeps();
    EXPECT_TRUE(recordedSleeps().empty());
}

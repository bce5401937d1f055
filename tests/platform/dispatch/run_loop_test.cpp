#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/base/fatal.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"

using namespace dispatch;

TEST(MainQueue, RunsPostedBlocksInOrderOnlyWhenTheLoopIsServed) {
    ScopedMainRunLoop loop;
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) Queue::main()->async([&, i] { order.push_back(i); });
    EXPECT_TRUE(order.empty());
    loop.runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(MainQueue, IsCurrentOnTheServingThreadOnly) {
    ScopedMainRunLoop loop;
    EXPECT_TRUE(Queue::main()->isCurrent());
    EXPECT_TRUE(isMainThread());
    std::atomic<bool> onBackground{true};
    auto background = Queue::create("test.bg");
    background->async([&] { onBackground = Queue::main()->isCurrent(); });
    background->sync([] {});  // waits for the block above, which ran on a pool thread
    EXPECT_FALSE(onBackground);
}

TEST(MainQueue, SyncFromABackgroundQueueRunsOnTheMainThread) {
    ScopedMainRunLoop loop;
    auto background = Queue::create("test.bg");
    bool ranOnMain = false;
    bool backgroundDone = false;
    background->async([&] {
        Queue::main()->sync([&] { ranOnMain = isMainThread(); });
        Queue::main()->async([&] { backgroundDone = true; });
    });
    EXPECT_TRUE(loop.runUntil([&] { return backgroundDone; }));
    EXPECT_TRUE(ranOnMain);
}

TEST(MainQueue, SyncFromTheMainThreadIsFatal) {
    ScopedMainRunLoop loop;
    base::ScopedFatalThrows fatalThrows;
    EXPECT_THROW(Queue::main()->sync([] {}), base::FatalError);
}

TEST(AsyncAfter, FollowsTheManualClockOnTheMainQueue) {
    ScopedMainRunLoop loop;
    std::vector<double> firedAt;
    Queue::main()->asyncAfter(1.5, [&] { firedAt.push_back(toSeconds(loop.clock().now())); });
    Queue::main()->asyncAfter(0.5, [&] { firedAt.push_back(toSeconds(loop.clock().now())); });
    loop.advanceSeconds(0.4);
    EXPECT_TRUE(firedAt.empty());
    loop.advanceSeconds(2);
    EXPECT_EQ(firedAt, (std::vector<double>{0.5, 1.5}));
    EXPECT_DOUBLE_EQ(toSeconds(loop.clock().now()), 2.4);
}

TEST(AsyncAfter, OnABackgroundQueueFiresWhenTheClockPassesTheDelay) {
    ScopedMainRunLoop loop;
    auto queue = Queue::create("test.later");
    std::atomic<bool> ran{false};
    queue->asyncAfter(10.0, [&] { ran = true; });
    loop.advanceSeconds(9.9);
    queue->sync([] {});
    EXPECT_FALSE(ran);
    loop.advanceSeconds(0.1);
    queue->sync([] {});
    EXPECT_TRUE(ran);
}

TEST(RunLoop, CancelledWorkNeverRuns) {
    ScopedMainRunLoop loop;
    bool ran = false;
    auto id = loop.loop().schedule(loop.clock().now() + seconds(1), [&] { ran = true; });
    loop.loop().cancel(id);
    loop.advanceSeconds(5);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(loop.loop().hasPendingWork());
}

TEST(RunLoop, RunServesUntilStoppedOnTheRealClock) {
    auto loop = RunLoop::create(std::make_shared<RealClock>());
    int ran = 0;
    std::thread poster([&] {
        loop->post([&] { ++ran; });
        loop->schedule(loop->now(), [&] {
            ++ran;
            loop->stop();
        });
    });
    loop->run();
    poster.join();
    EXPECT_EQ(ran, 2);
}

TEST(RunLoop, RunUntilGivesUpAfterTheRealTimeout) {
    ScopedMainRunLoop loop;
    EXPECT_FALSE(loop.runUntil([] { return false; }, std::chrono::milliseconds(20)));
}

// A condition only the loop's own work can change is looked at once, and again only after the
// loop served something (a timer here, at its time) or gave up: not every few milliseconds.
TEST(RunLoop, RunUntilOnServedWorkLooksAgainOnlyWhenSomethingWasServed) {
    auto loop = RunLoop::create(std::make_shared<RealClock>());
    loop->bindToCurrentThread();
    int looks = 0;
    EXPECT_FALSE(loop->runUntil([&] { return ++looks < 0; }, std::chrono::milliseconds(40),
                                RunLoop::ConditionSource::servedWork));
    EXPECT_EQ(looks, 2) << "at the start and at the timeout";

    looks = 0;
    bool fired = false;
    const auto due = loop->now() + seconds(0.03);
    loop->schedule(due, [&] { fired = true; });
    EXPECT_TRUE(loop->runUntil(
        [&] {
            ++looks;
            return fired;
        },
        std::chrono::seconds(60), RunLoop::ConditionSource::servedWork));
    EXPECT_GE(loop->now(), due);
    EXPECT_EQ(looks, 2) << "at the start and once the timer ran";
}

// A post or a wake from another thread ends such a wait at once.
TEST(RunLoop, RunUntilOnServedWorkWakesForPostsAndWakesFromOtherThreads) {
    auto loop = RunLoop::create(std::make_shared<RealClock>());
    loop->bindToCurrentThread();
    bool posted = false;
    std::thread poster([&] { loop->post([&] { posted = true; }); });
    EXPECT_TRUE(loop->runUntil([&] { return posted; }, std::chrono::seconds(60), RunLoop::ConditionSource::servedWork));
    poster.join();
    std::atomic<bool> drawn{false};
    std::thread drawer([&] {
        drawn = true;
        loop->wake();
    });
    EXPECT_TRUE(
        loop->runUntil([&] { return drawn.load(); }, std::chrono::seconds(60), RunLoop::ConditionSource::servedWork));
    drawer.join();
}

TEST(RunLoop, AWakeFromAnotherThreadReachesTheWakeHandlerWithoutPostingWork) {
    auto loop = RunLoop::create(std::make_shared<RealClock>());
    loop->bindToCurrentThread();
    std::atomic<int> handled{0};
    loop->setWakeHandler([&] { ++handled; });
    std::atomic<bool> drawn{false};
    std::thread drawer([&] {
        drawn = true;
        loop->wake();
    });
    EXPECT_TRUE(loop->runUntil([&] { return drawn.load(); }, std::chrono::seconds(60)));
    drawer.join();
    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(loop->hasPostedWork());
}

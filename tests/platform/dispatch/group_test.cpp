#include <gtest/gtest.h>

#include <atomic>

#include "platform/base/fatal.h"
#include "platform/dispatch/group.h"
#include "platform/dispatch/run_loop.h"

using namespace dispatch;
using namespace std::chrono_literals;

TEST(Group, NotifiesOnTheGivenQueueOnceEveryEnterHasLeft) {
    ScopedMainRunLoop loop;
    auto group = Group::create();
    bool notified = false;
    group->enter();
    group->enter();
    group->notify(Queue::main(), [&] { notified = true; });
    group->leave();
    loop.runUntilIdle();
    EXPECT_FALSE(notified);
    group->leave();
    loop.runUntilIdle();
    EXPECT_TRUE(notified);
}

TEST(Group, NotifyOnAnEmptyGroupRunsAtOnce) {
    ScopedMainRunLoop loop;
    auto group = Group::create();
    bool notified = false;
    group->notify(Queue::main(), [&] { notified = true; });
    loop.runUntilIdle();
    EXPECT_TRUE(notified);
}

TEST(Group, WaitTimesOutWhileWorkIsOutstanding) {
    auto group = Group::create();
    group->enter();
    EXPECT_FALSE(group->wait(1ms));
    group->leave();
    EXPECT_TRUE(group->wait(0ms));
}

TEST(Group, WaitReturnsWhenAsyncWorkOnSeveralQueuesHasRun) {
    auto group = Group::create();
    std::atomic<int> done{0};
    for (int i = 0; i < 10; ++i) group->async(Queue::create("test.g" + std::to_string(i)), [&] { ++done; });
    EXPECT_TRUE(group->wait(30s));
    EXPECT_EQ(done.load(), 10);
}

TEST(Group, UnbalancedLeaveIsFatal) {
    base::ScopedFatalThrows fatalThrows;
    auto group = Group::create();
    EXPECT_THROW(group->leave(), base::FatalError);
}

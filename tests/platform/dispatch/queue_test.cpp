#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/base/fatal.h"
#include "platform/dispatch/group.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/semaphore.h"
#include "platform/dispatch/worker_pool.h"

using namespace dispatch;
using namespace std::chrono_literals;

TEST(SerialQueue, RunsBlocksOneAtATimeInSubmissionOrder) {
    auto queue = Queue::create("test.serial");
    std::vector<int> order;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    for (int i = 0; i < 200; ++i) {
        queue->async([&, i] {
            if (inside.fetch_add(1) != 0) overlapped = true;
            order.push_back(i);
            inside.fetch_sub(1);
        });
    }
    queue->sync([] {});
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
    EXPECT_FALSE(overlapped);
}

TEST(SerialQueue, SyncWaitsForEarlierBlocksAndReturnsTheValue) {
    auto queue = Queue::create("test.serial");
    Semaphore release(0);
    std::atomic<bool> firstDone{false};
    queue->async([&] {
        release.wait();
        firstDone = true;
    });
    std::thread releaser([&] { release.signal(); });
    int value = queue->syncValue([&] { return firstDone.load() ? 42 : -1; });
    releaser.join();
    EXPECT_EQ(value, 42);
}

TEST(SerialQueue, SyncFromInsideTheQueueIsFatalInsteadOfDeadlocking) {
    base::ScopedFatalThrows fatalThrows;
    auto queue = Queue::create("test.reentrant");
    std::string message;
    queue->sync([&] {
        try {
            queue->sync([] {});
        } catch (const base::FatalError& error) {
            message = error.text;
        }
    });
    EXPECT_NE(message.find("test.reentrant"), std::string::npos);
}

TEST(Queue, KnowsWhetherTheCallerRunsOnItThroughNestedSync) {
    auto outer = Queue::create("test.outer");
    auto inner = Queue::create("test.inner", QueueKind::concurrent);
    bool outerSeenInside = false, innerSeenInside = false;
    std::string label;
    outer->sync([&] {
        inner->sync([&] {
            outerSeenInside = outer->isCurrent();
            innerSeenInside = inner->isCurrent();
            label = Queue::currentLabel();
        });
    });
    EXPECT_TRUE(outerSeenInside);
    EXPECT_TRUE(innerSeenInside);
    EXPECT_EQ(label, "test.inner");
    EXPECT_FALSE(outer->isCurrent());
    EXPECT_EQ(Queue::currentLabel(), "");
}

TEST(ConcurrentQueue, RunsBlocksInParallel) {
    auto queue = Queue::create("test.concurrent", QueueKind::concurrent);
    // Each block waits for the other: only parallel execution lets both finish.
    Semaphore a(0), b(0);
    auto group = Group::create();
    group->async(queue, [&] {
        a.signal();
        ASSERT_TRUE(b.wait(10s));
    });
    group->async(queue, [&] {
        b.signal();
        ASSERT_TRUE(a.wait(10s));
    });
    EXPECT_TRUE(group->wait(10s));
}

TEST(ConcurrentQueue, BarrierRunsAloneBetweenEarlierAndLaterBlocks) {
    auto queue = Queue::create("test.barrier", QueueKind::concurrent);
    std::mutex mutex;
    std::vector<std::string> events;
    auto record = [&](std::string e) {
        std::lock_guard lock(mutex);
        events.push_back(std::move(e));
    };
    std::atomic<int> running{0};
    std::atomic<bool> barrierSawOthers{false};
    for (int i = 0; i < 8; ++i) {
        queue->async([&] {
            running++;
            std::this_thread::yield();
            record("before");
            running--;
        });
    }
    queue->asyncBarrier([&] {
        if (running.load() != 0) barrierSawOthers = true;
        record("barrier");
    });
    for (int i = 0; i < 8; ++i) queue->async([&] { record("after"); });
    queue->syncBarrier([] {});
    ASSERT_EQ(events.size(), 17u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(events[i], "before");
    EXPECT_EQ(events[8], "barrier");
    for (int i = 9; i < 17; ++i) EXPECT_EQ(events[i], "after");
    EXPECT_FALSE(barrierSawOthers);
}

TEST(ConcurrentQueue, BarrierWritesAreSeenByLaterSyncReads) {
    auto queue = Queue::create("reelhaven.atomicQueue", QueueKind::concurrent);
    int value = 0;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) queue->syncBarrier([&] { ++value; });
        });
    }
    for (auto& w : writers) w.join();
    EXPECT_EQ(queue->syncValue([&] { return value; }), 4000);
}

TEST(GlobalQueue, IsConcurrentAndTreatsBarriersAsPlainBlocks) {
    auto queue = Queue::global(QoS::userInitiated);
    EXPECT_EQ(queue->kind(), QueueKind::concurrent);
    EXPECT_EQ(queue, Queue::global(QoS::userInitiated));
    Semaphore a(0), b(0);
    auto group = Group::create();
    group->enter();
    queue->asyncBarrier([&] {
        a.signal();
        EXPECT_TRUE(b.wait(10s));
        group->leave();
    });
    group->enter();
    queue->asyncBarrier([&] {
        b.signal();
        EXPECT_TRUE(a.wait(10s));
        group->leave();
    });
    EXPECT_TRUE(group->wait(10s));
}

TEST(Semaphore, WaitTimesOutWithoutASignalAndCountsSignals) {
    Semaphore semaphore(1);
    EXPECT_TRUE(semaphore.wait(0ms));
    EXPECT_FALSE(semaphore.wait(1ms));
    semaphore.signal();
    semaphore.signal();
    EXPECT_TRUE(semaphore.wait(0ms));
    EXPECT_TRUE(semaphore.wait(0ms));
    EXPECT_FALSE(semaphore.wait(0ms));
}

TEST(WorkerPool, BlocksThatWaitOnEachOtherNeverStarveThePool) {
    // Far more blocked blocks than cores: the pool must grow for the last one to release them.
    auto queue = Queue::create("test.many", QueueKind::concurrent);
    Semaphore gate(0);
    auto group = Group::create();
    constexpr int kBlocked = 64;
    for (int i = 0; i < kBlocked; ++i) group->async(queue, [&] { gate.wait(); });
    group->async(queue, [&] {
        for (int i = 0; i < kBlocked; ++i) gate.signal();
    });
    EXPECT_TRUE(group->wait(30s));
}

TEST(WorkerPool, ThreadsAreDetachedFromTheirFirstInstruction) {
    // A thread detached only after its creation may already have ended and freed itself by then.
    std::promise<int> state;
    auto seen = state.get_future();
    ASSERT_TRUE(startDetachedThread([&state] {
        pthread_attr_t attributes;
        int detach = -1;
        if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
            pthread_attr_getdetachstate(&attributes, &detach);
            pthread_attr_destroy(&attributes);
        }
        state.set_value(detach);
    }));
    EXPECT_EQ(seen.get(), PTHREAD_CREATE_DETACHED);
}

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/base/fatal.h"
#include "platform/dispatch/latch.h"
#include "platform/dispatch/work_queue.h"

using namespace dispatch;

TEST(WorkQueue, RunsEveryBlockOnItsOneThreadInSubmissionOrder) {
    auto queue = WorkQueue::create("test.work");
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    for (int i = 0; i < 300; ++i) {
        queue->async([&, i] {
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
        });
    }
    queue->sync([] {});
    ASSERT_EQ(order.size(), 300u);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(order[i], i);
        EXPECT_EQ(threads[i], queue->threadId());
    }
    EXPECT_NE(queue->threadId(), std::this_thread::get_id());
}

TEST(WorkQueue, SyncRunsOnTheQueueThreadAfterEarlierBlocks) {
    auto queue = WorkQueue::create("test.work");
    Latch release;
    std::atomic<bool> firstDone{false};
    queue->async([&] {
        release.wait();
        firstDone = true;
    });
    std::thread releaser([&] { release.signal(); });
    auto [done, onQueue] = queue->syncValue([&] { return std::pair(firstDone.load(), queue->isCurrent()); });
    releaser.join();
    EXPECT_TRUE(done);
    EXPECT_TRUE(onQueue);
    EXPECT_FALSE(queue->isCurrent());
}

TEST(WorkQueue, IsCurrentAndLabelHoldOnlyInsideItsBlocks) {
    auto queue = WorkQueue::create("test.label");
    auto other = WorkQueue::create("test.other");
    auto [label, current, otherCurrent] =
        queue->syncValue([&] { return std::tuple(Queue::currentLabel(), queue->isCurrent(), other->isCurrent()); });
    EXPECT_EQ(label, "test.label");
    EXPECT_TRUE(current);
    EXPECT_FALSE(otherCurrent);
}

TEST(WorkQueue, SyncFromItsOwnThreadIsFatalInsteadOfDeadlocking) {
    base::ScopedFatalThrows fatalThrows;
    auto queue = WorkQueue::create("test.reentrant");
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

TEST(WorkQueue, ShutdownRunsWhatWasSubmittedThenJoinsAndDropsLaterBlocks) {
    auto queue = WorkQueue::create("test.shutdown");
    std::atomic<int> ran{0};
    Latch gate;
    queue->async([&] { gate.wait(); });
    for (int i = 0; i < 50; ++i) queue->async([&] { ++ran; });
    std::thread opener([&] { gate.signal(); });
    queue->shutdown();
    opener.join();
    EXPECT_EQ(ran.load(), 50);
    EXPECT_TRUE(queue->isShutDown());
    queue->async([&] { ++ran; });
    queue->shutdown();  // a second shutdown is harmless
    EXPECT_EQ(ran.load(), 50);
    base::ScopedFatalThrows fatalThrows;
    EXPECT_THROW(queue->sync([] {}), base::FatalError);
}

TEST(WorkQueue, DestructorJoinsAfterPendingBlocks) {
    std::atomic<int> ran{0};
    {
        auto queue = WorkQueue::create("test.destroy");
        for (int i = 0; i < 20; ++i) queue->async([&] { ++ran; });
    }
    EXPECT_EQ(ran.load(), 20);
}

TEST(WorkQueue, ABlockMayDropTheLastReferenceToItsQueue) {
    auto queue = WorkQueue::create("test.self");
    Latch done;
    auto* raw = queue.get();
    raw->async([held = std::move(queue), &done]() mutable {
        held.reset();  // the queue is destroyed here, on its own thread
        done.signal();
    });
    // ASan reports a use of the destroyed queue by its thread; the wait fails if it deadlocks.
    done.wait();
}

TEST(WorkQueue, ThreadBoundStateStaysWithTheQueueThread) {
    // What an EGL context needs: a thread_local set by one block is seen by the next.
    static thread_local int marker = 0;
    auto queue = WorkQueue::create("test.tls");
    queue->async([] { marker = 7; });
    for (int i = 0; i < 20; ++i) queue->async([] {});
    EXPECT_EQ(queue->syncValue([] { return marker; }), 7);
}

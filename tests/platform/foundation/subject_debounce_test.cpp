#include <gtest/gtest.h>

#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/current_value_subject.h"
#include "platform/foundation/debounce.h"
#include "platform/foundation/passthrough_subject.h"

namespace foundation {
namespace {

TEST(PassthroughSubjectTest, DeliversOnlyValuesSentAfterSubscribing) {
    PassthroughSubject<int> subject;
    subject.send(1);
    std::vector<int> received;
    auto subscription = subject.sink([&](const int& value) { received.push_back(value); });
    subject.send(2);
    subject.send(3);
    subscription.cancel();
    subject.send(4);
    EXPECT_EQ(received, (std::vector<int>{2, 3}));
    EXPECT_EQ(subject.subscriberCount(), 0u);
}

TEST(PassthroughSubjectTest, SubscriberCancelledByAnEarlierOneInTheSameSendIsNotCalled) {
    PassthroughSubject<int> subject;
    Cancellable second;
    int secondCalls = 0;
    auto first = subject.sink([&](const int&) { second.cancel(); });
    second = subject.sink([&](const int&) { ++secondCalls; });
    subject.send(1);
    EXPECT_EQ(secondCalls, 0);
}

TEST(DebounceTest, DeliversTheLastValueOnceTheIntervalPassesWithoutANewOne) {
    dispatch::ScopedMainRunLoop loop;
    PassthroughSubject<int> subject;
    std::vector<std::pair<int, double>> received;
    auto subscription = debounce<int>(subject, dispatch::seconds(1), [&](const int& value) {
        received.emplace_back(value, dispatch::toSeconds(loop.loop().now()));
    });
    subject.send(1);
    loop.advanceSeconds(0.6);
    subject.send(2);
    loop.advanceSeconds(0.9);
    EXPECT_TRUE(received.empty());
    loop.advanceSeconds(0.1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].first, 2);
    EXPECT_DOUBLE_EQ(received[0].second, 1.6);
    loop.advanceSeconds(5);
    EXPECT_EQ(received.size(), 1u);
}

TEST(DebounceTest, CancellingDropsTheWaitingValueAndEndsTheUpstreamSubscription) {
    dispatch::ScopedMainRunLoop loop;
    CurrentValueSubject<int> subject(7);
    int calls = 0;
    auto subscription = debounce<int>(subject, dispatch::seconds(1), [&](const int&) { ++calls; });
    subject.send(8);
    subscription.cancel();
    loop.advanceSeconds(2);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(subject.subscriberCount(), 0u);
}

TEST(DebounceTest, DebouncesTheCurrentValueOfACurrentValueSubject) {
    dispatch::ScopedMainRunLoop loop;
    CurrentValueSubject<int> subject(7);
    std::vector<int> received;
    auto subscription = debounce<int>(subject, dispatch::seconds(1), [&](const int& v) { received.push_back(v); });
    loop.advanceSeconds(1);
    EXPECT_EQ(received, std::vector<int>{7});
}

}  // namespace
}  // namespace foundation

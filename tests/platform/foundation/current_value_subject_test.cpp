#include "platform/foundation/current_value_subject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace foundation {
namespace {

TEST(CurrentValueSubjectTest, SinkGetsTheCurrentValueThenEverySend) {
    CurrentValueSubject<std::string> subject("sans-serif");
    std::vector<std::string> seen;
    auto subscription = subject.sink([&](const std::string& v) { seen.push_back(v); });
    subject.send("Inter");
    subject.send("mono");
    EXPECT_EQ(seen, (std::vector<std::string>{"sans-serif", "Inter", "mono"}));
    EXPECT_EQ(subject.value(), "mono");
}

TEST(CurrentValueSubjectTest, SubscribersRunBeforeSendReturns) {
    CurrentValueSubject<int> subject(0);
    int stored = -1;
    auto subscription = subject.sink([&](int v) { stored = v; });
    subject.send(5);
    EXPECT_EQ(stored, 5);  // a setter may write to storage right after send
}

TEST(CurrentValueSubjectTest, SubscriptionsEndOnCancelAndDestruction) {
    CurrentValueSubject<int> subject(0);
    int a = 0, b = 0;
    auto first = subject.sink([&](int) { ++a; });
    {
        auto second = subject.sink([&](int) { ++b; });
        EXPECT_EQ(subject.subscriberCount(), 2u);
    }
    first.cancel();
    first.cancel();
    EXPECT_FALSE(first.isActive());
    subject.send(1);
    EXPECT_EQ(a, 1);  // only the initial value
    EXPECT_EQ(b, 1);
    EXPECT_EQ(subject.subscriberCount(), 0u);
}

TEST(CurrentValueSubjectTest, MovedCancellablesKeepTheSubscription) {
    CurrentValueSubject<int> subject(0);
    int calls = 0;
    std::vector<Cancellable> bag;
    subject.sink([&](int) { ++calls; }).store(bag);
    Cancellable moved = std::move(bag.front());
    bag.clear();
    subject.send(1);
    EXPECT_EQ(calls, 2);
    moved = Cancellable();
    subject.send(2);
    EXPECT_EQ(calls, 2);
}

TEST(CurrentValueSubjectTest, CancelledDuringASendIsNotCalledAfterwards) {
    CurrentValueSubject<int> subject(0);
    std::vector<int> calls;
    Cancellable second;
    auto first = subject.sink([&](int v) {
        calls.push_back(v);
        if (v == 1) second.cancel();
    });
    second = subject.sink([&](int v) { calls.push_back(100 + v); });
    subject.send(1);
    EXPECT_EQ(calls, (std::vector<int>{0, 100, 1}));
}

TEST(CurrentValueSubjectTest, CancellableOutlivingTheSubjectIsHarmless) {
    Cancellable subscription;
    {
        CurrentValueSubject<int> subject(0);
        subscription = subject.sink([](int) {});
    }
    subscription.cancel();
    EXPECT_FALSE(subscription.isActive());
}

TEST(CurrentValueSubjectTest, CopiesShareOneSubject) {
    CurrentValueSubject<int> subject(1);
    CurrentValueSubject<int> copy = subject;
    int seen = 0;
    auto subscription = copy.sink([&](int v) { seen = v; });
    subject.send(7);
    EXPECT_EQ(seen, 7);
    EXPECT_EQ(copy.value(), 7);
}

TEST(CurrentValueSubjectTest, HoldsTypesWithoutADefaultConstructor) {
    struct Font {
        explicit Font(std::string n) : name(std::move(n)) {}
        std::string name;
    };
    CurrentValueSubject<Font> subject(Font("sans-serif"));
    std::string seen;
    auto subscription = subject.sink([&](const Font& font) { seen = font.name; });
    subject.send(Font("Inter"));
    EXPECT_EQ(seen, "Inter");
}

TEST(CurrentValueSubjectTest, ValueIsSafeToReadWhileOthersSend) {
    CurrentValueSubject<std::string> subject(std::string(100, 'a'));
    std::atomic<bool> stop = false;
    std::thread reader([&] {
        while (!stop) {
            std::string v = subject.value();
            ASSERT_TRUE(v == std::string(100, 'a') || v == std::string(100, 'b'));
        }
    });
    for (int i = 0; i < 2000; ++i) subject.send(std::string(100, i % 2 ? 'a' : 'b'));
    stop = true;
    reader.join();
}

}  // namespace
}  // namespace foundation

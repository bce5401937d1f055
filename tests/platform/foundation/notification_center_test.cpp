#include "platform/foundation/notification_center.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace foundation {
namespace {

TEST(NotificationCenterTest, DeliversByNameAndSenderInOrder) {
    NotificationCenter center;
    auto sender = std::make_shared<int>(1);
    auto other = std::make_shared<int>(2);
    std::vector<std::string> calls;
    center.addObserver("screenshotSucceeded", nullptr, [&](const Notification&) { calls.push_back("any"); });
    center.addObserver("screenshotSucceeded", sender.get(), [&](const Notification& n) {
        EXPECT_EQ(n.object, sender);
        calls.push_back("sender");
    });
    center.addObserver("", nullptr, [&](const Notification& n) { calls.push_back("all:" + n.name); });
    center.post("screenshotSucceeded", sender);
    center.post("screenshotSucceeded", other);
    center.post("screenshotFailed");
    EXPECT_EQ(calls, (std::vector<std::string>{"any", "sender", "all:screenshotSucceeded", "any",
                                               "all:screenshotSucceeded", "all:screenshotFailed"}));
}

TEST(NotificationCenterTest, CarriesUserInfo) {
    NotificationCenter center;
    int seen = 0;
    center.addObserver("n", nullptr, [&](const Notification& n) { seen = std::any_cast<int>(n.userInfo.at("value")); });
    center.post("n", nullptr, {{"value", 42}});
    EXPECT_EQ(seen, 42);
}

TEST(NotificationCenterTest, RemovedObserversAreNotCalled) {
    NotificationCenter center;
    int calls = 0;
    auto token = center.addObserver("n", nullptr, [&](const Notification&) { ++calls; });
    center.removeObserver(token);
    center.removeObserver(token);
    center.removeObserver({});
    center.post("n");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(center.observerCount(), 0u);
}

TEST(NotificationCenterTest, AnObserverRemovedDuringAPostIsNotCalledAfterwards) {
    NotificationCenter center;
    std::vector<int> calls;
    NotificationCenter::Token second;
    center.addObserver("n", nullptr, [&](const Notification&) {
        calls.push_back(1);
        center.removeObserver(second);
    });
    second = center.addObserver("n", nullptr, [&](const Notification&) { calls.push_back(2); });
    center.post("n");
    EXPECT_EQ(calls, std::vector<int>{1});
}

TEST(NotificationCenterTest, ObserversMayRemoveThemselvesAndPostAgain) {
    NotificationCenter center;
    int calls = 0;
    NotificationCenter::Token token;
    token = center.addObserver("n", nullptr, [&](const Notification&) {
        ++calls;
        center.removeObserver(token);
        center.post("n");  // must neither deadlock nor reach this observer again
    });
    center.post("n");
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterTest, PostsFromManyThreadsWhileObserversChange) {
    NotificationCenter center;
    std::atomic<int> calls = 0;
    center.addObserver("n", nullptr, [&](const Notification&) { ++calls; });
    std::atomic<bool> stop = false;
    std::thread churn([&] {
        while (!stop) center.removeObserver(center.addObserver("n", nullptr, [](const Notification&) {}));
    });
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([&] {
            for (int i = 0; i < 500; ++i) center.post("n");
        });
    }
    for (auto& poster : posters) poster.join();
    stop = true;
    churn.join();
    EXPECT_EQ(calls, 2000);
}

}  // namespace
}  // namespace foundation

#include "platform/foundation/cache.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace foundation {
namespace {

using Strings = Cache<std::string, std::string>;

std::shared_ptr<std::string> text(const char* value) { return std::make_shared<std::string>(value); }

TEST(CacheTest, EvictsTheLeastRecentlyUsedBeyondTheCostLimit) {
    Strings cache(10);
    cache.setObject(text("a"), "a", 4);
    cache.setObject(text("b"), "b", 4);
    ASSERT_TRUE(cache.object("a"));  // a is now more recent than b
    cache.setObject(text("c"), "c", 4);
    EXPECT_TRUE(cache.object("a"));
    EXPECT_FALSE(cache.object("b"));
    EXPECT_TRUE(cache.object("c"));
    EXPECT_EQ(cache.totalCost(), 8u);
    EXPECT_EQ(cache.count(), 2u);
}

TEST(CacheTest, EvictsBeyondTheCountLimitAndWhenALimitIsLowered) {
    Strings cache(0, 2);
    for (const char* key : {"a", "b", "c"}) cache.setObject(text(key), key, 100);
    EXPECT_FALSE(cache.object("a"));
    EXPECT_EQ(cache.count(), 2u);
    cache.setTotalCostLimit(150);
    EXPECT_EQ(cache.count(), 1u);
    EXPECT_TRUE(cache.object("c"));
}

TEST(CacheTest, ReplacingAnObjectCountsOnlyItsNewCostAndNullRemovesIt) {
    Strings cache(10);
    cache.setObject(text("a"), "a", 6);
    cache.setObject(text("A"), "a", 3);
    EXPECT_EQ(*cache.object("a"), "A");
    EXPECT_EQ(cache.totalCost(), 3u);
    cache.setObject(nullptr, "a");
    EXPECT_FALSE(cache.object("a"));
    EXPECT_EQ(cache.totalCost(), 0u);
}

TEST(CacheTest, AnObjectCostingMoreThanTheLimitIsNotKept) {
    Strings cache(10);
    cache.setObject(text("small"), "small", 2);
    cache.setObject(text("huge"), "huge", 11);
    EXPECT_FALSE(cache.object("huge"));
    EXPECT_EQ(cache.count(), 0u) << "older objects go first";
}

TEST(CacheTest, WithoutLimitsNothingIsEvictedAndRemovingAllEmptiesIt) {
    Strings cache;
    for (int i = 0; i < 100; ++i) cache.setObject(text("x"), std::to_string(i), 1000);
    EXPECT_EQ(cache.count(), 100u);
    cache.removeObject("5");
    EXPECT_EQ(cache.count(), 99u);
    cache.removeAllObjects();
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_EQ(cache.totalCost(), 0u);
}

TEST(CacheTest, AnEvictedObjectStillHeldElsewhereStaysAlive) {
    Strings cache(1);
    auto kept = text("kept");
    cache.setObject(kept, "kept", 1);
    cache.setObject(text("next"), "next", 1);
    EXPECT_FALSE(cache.object("kept"));
    EXPECT_EQ(*kept, "kept");
}

TEST(CacheTest, ThreadsSharingACacheKeepItsTotalsRight) {
    Strings cache(50 * 8);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&cache, t] {
            for (int i = 0; i < 2000; ++i) {
                const std::string key = std::to_string((t * 7 + i) % 97);
                cache.setObject(text("x"), key, 8);
                (void)cache.object(std::to_string(i % 97));
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_LE(cache.totalCost(), 400u);
    EXPECT_EQ(cache.totalCost(), cache.count() * 8);
}

}  // namespace
}  // namespace foundation

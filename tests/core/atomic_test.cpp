#include "core/atomic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace reelhaven {
namespace {

TEST(AtomicTest, ChangesAreAtomicAgainstEachOtherAndReads) {
    Atomic<std::map<int, int>> counts;
    std::atomic<int> changesRunning{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                counts.mutate([&](std::map<int, int>& m) {
                    EXPECT_EQ(changesRunning.fetch_add(1), 0);
                    ++m[0];
                    changesRunning.fetch_sub(1);
                });
                // A read never overlaps a change.
                EXPECT_EQ(counts.read([&](const std::map<int, int>&) { return changesRunning.load(); }), 0);
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counts.value().at(0), 4000);
}

}  // namespace
}  // namespace reelhaven

#include "core/atomic.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

namespace reelhaven {
namespace {

TEST(AtomicTest, ChangesAreAtomicAgainstEachOtherAndReads) {
    Atomic<std::map<int, int>> counts;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                counts.mutate([](std::map<int, int>& m) { ++m[0]; });
                // A reader never sees the map while a change runs.
                EXPECT_GE(counts.read([](const std::map<int, int>& m) { return m.count(0) ? m.at(0) : 1; }), 1);
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(counts.value().at(0), 4000);
}

}  // namespace
}  // namespace reelhaven

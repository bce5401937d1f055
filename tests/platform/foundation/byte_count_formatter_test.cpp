#include "platform/foundation/byte_count_formatter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace foundation {
namespace {

// The wording the library's size labels show; changing it changes every size on screen.
TEST(ByteCountFormatterTest, FileSizesReadAsPeopleSayThem) {
    const struct {
        std::int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "Zero KB"},
        {1, "1 byte"},
        {2, "2 bytes"},
        {999, "999 bytes"},
        {1000, "1 KB"},
        {1499, "1 KB"},
        {1500, "2 KB"},  // half to even
        {2500, "2 KB"},
        {999'499, "999 KB"},
        {999'500, "1 MB"},  // not "1,000 KB"
        {1'000'000, "1 MB"},
        {1'050'000, "1 MB"},  // 1.05 -> 1.0, half to even, trailing zero dropped
        {1'550'000, "1.6 MB"},
        {123'456'789, "123.5 MB"},
        {1'234'567'890, "1.23 GB"},
        {2'000'000'000, "2 GB"},
        {4'700'000'000, "4.7 GB"},
        {999'999'999'999, "1 TB"},
        {-1500, "-2 KB"},
        {-1, "-1 byte"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ByteCountFormatter::string(c.bytes, ByteCountFormatter::CountStyle::file), c.text) << c.bytes;
}

TEST(ByteCountFormatterTest, MemoryCountsInPowersOfTwoAndExtremesStayReadable) {
    const ByteCountFormatter memory(ByteCountFormatter::CountStyle::memory);
    EXPECT_EQ(memory.string(1000), "1,000 bytes");
    EXPECT_EQ(memory.string(1024), "1 KB");
    EXPECT_EQ(memory.string(1536 * 1024), "1.5 MB");
    const ByteCountFormatter file;
    EXPECT_EQ(file.string(std::numeric_limits<std::int64_t>::max()), "9.22 EB");
    EXPECT_EQ(file.string(std::numeric_limits<std::int64_t>::min()), "-9.22 EB");
}

}  // namespace
}  // namespace foundation

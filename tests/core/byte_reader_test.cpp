#include "core/byte_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace reelhaven {
namespace {

// Every read through the buffer gives what the same read of the file gives, and a walk of small
// reads reaches the file a block at a time.
TEST(BufferedReaderTest, GivesWhatTheFileGivesReadingItABlockAtATime) {
    std::string bytes(1000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    int reads = 0;
    const ByteReader file = [&](std::int64_t offset, std::uint8_t* into, std::int64_t size) -> std::int64_t {
        ++reads;
        if (offset >= static_cast<std::int64_t>(bytes.size())) return 0;
        const auto count = std::min<std::int64_t>(size, static_cast<std::int64_t>(bytes.size()) - offset);
        std::memcpy(into, bytes.data() + offset, static_cast<std::size_t>(count));
        return count;
    };
    const ByteReader buffered = bufferedReader(file, 64);
    const struct {
        std::int64_t offset;
        std::int64_t size;
    } cases[] = {
        {0, 16},   {16, 16},  {8, 40},   {60, 16},   // across the first block's end
        {0, 64},   {10, 200},                        // a block or more: straight to the file
        {990, 16}, {995, 3},  {1000, 8}, {2000, 8},  // at and past the end
        {0, 0},    {500, 1},  {499, 2},
    };
    for (const auto& read : cases) {
        SCOPED_TRACE(testing::Message() << read.offset << " + " << read.size);
        std::vector<std::uint8_t> expected(static_cast<std::size_t>(read.size) + 1, 0xEE);
        std::vector<std::uint8_t> got(expected.size(), 0xEE);
        const std::int64_t want = file(read.offset, expected.data(), read.size);
        EXPECT_EQ(buffered(read.offset, got.data(), read.size), want);
        EXPECT_EQ(got, expected);
    }
    reads = 0;
    std::uint8_t header[16];
    for (std::int64_t at = 0; at < 1000; at += 8) ASSERT_GT(buffered(at, header, 16), 0);
    EXPECT_LE(reads, 1000 / 64 * 2 + 2);
}

TEST(BufferedReaderTest, PassesAnErrorOnAndReadsAgainAfterIt) {
    bool failing = true;
    const ByteReader file = [&](std::int64_t, std::uint8_t* into, std::int64_t size) -> std::int64_t {
        if (failing) return -1;
        std::memset(into, 'x', static_cast<std::size_t>(size));
        return size;
    };
    const ByteReader buffered = bufferedReader(file, 64);
    std::uint8_t bytes[8];
    EXPECT_EQ(buffered(0, bytes, 8), -1);
    failing = false;
    EXPECT_EQ(buffered(0, bytes, 8), 8);
    EXPECT_EQ(bytes[7], 'x');
}

}  // namespace
}  // namespace reelhaven

#include "platform/foundation/md5.h"

#include <gtest/gtest.h>

namespace foundation {
namespace {

TEST(MD5Test, MatchesKnownVectors) {
    EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5Hex("The quick brown fox jumps over the lazy dog"), "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(md5Hex(std::string("a\0b", 3)), "70350f6027bce3713f6b76473084309b");
}

}  // namespace
}  // namespace foundation

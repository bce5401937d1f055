#include "platform/foundation/uuid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <unordered_set>

namespace foundation {
namespace {

TEST(UUIDTest, RandomUUIDsAreUpperCaseVersion4AndDistinct) {
    std::set<UUID> seen;
    for (int i = 0; i < 100; ++i) {
        UUID uuid = UUID::random();
        std::string text = uuid.uuidString();
        ASSERT_EQ(text.size(), 36u);
        for (char c : text) EXPECT_FALSE(c >= 'a' && c <= 'z') << text;
        EXPECT_EQ(text[14], '4');
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 100u);
}

TEST(UUIDTest, ParsesEitherCaseToTheSameValue) {
    auto upper = UUID::parse("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    auto lower = UUID::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(upper);
    ASSERT_TRUE(lower);
    EXPECT_EQ(*upper, *lower);
    EXPECT_EQ(lower->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(std::hash<UUID>()(*upper), std::hash<UUID>()(*lower));
}

TEST(UUIDTest, RejectsAnythingButTheCanonicalShape) {
    for (std::string text : {
             std::string(""),
             std::string("E621E1F8-C36C-495A-93FC-0C247A3E6E5F\n"),  // 37 bytes
             std::string("E621E1F8-C36C-495A-93FC-0C247A3E6E5"),     // 35 bytes
             std::string("E621E1F8C36C-495A-93FC-0C247A3E6E5F0"),    // dash moved
             std::string("G621E1F8-C36C-495A-93FC-0C247A3E6E5F"),    // not hex
             std::string("E621E1F8-C36C-495A-93FC-0C247A3E6E5 "),
             std::string("{621E1F8-C36C-495A-93FC-0C247A3E6E5}"),
             std::string("E621E1F8-C36C-495A-93FC-0C247A3E6E\0F", 36),
         }) {
        EXPECT_FALSE(UUID::parse(text)) << text;
    }
}

TEST(UUIDTest, OrdersByBytes) {
    auto a = *UUID::parse("00000000-0000-0000-0000-000000000001");
    auto b = *UUID::parse("10000000-0000-0000-0000-000000000000");
    EXPECT_LT(a, b);
    EXPECT_LT(UUID(), a);
}

}  // namespace
}  // namespace foundation

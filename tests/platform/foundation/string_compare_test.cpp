#include "platform/foundation/string_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace foundation {
namespace {

bool before(std::string_view a, std::string_view b) { return StringCompare::localizedStandardCompare(a, b) < 0; }

TEST(StringCompareTest, DigitRunsCompareByValue) {
    EXPECT_TRUE(before("Episode 2", "Episode 10"));
    EXPECT_TRUE(before("file9.mp4", "file10.mp4"));
    EXPECT_TRUE(before("a1b2", "a1b10"));
    EXPECT_FALSE(before("Episode 10", "Episode 2"));
}

TEST(StringCompareTest, CaseDoesNotDecideTheOrderButKeepsItTotal) {
    EXPECT_TRUE(before("apple", "Banana"));
    EXPECT_TRUE(before("Apple", "banana"));
    EXPECT_TRUE(before("a", "A"));  // differ only in case: ordered, never equal
    EXPECT_FALSE(before("A", "a"));
}

TEST(StringCompareTest, SortsAFolderLikeAFileBrowser) {
    std::vector<std::string> names = {"Movie 10.mkv", "movie 2.mkv", "Ärger.mp4", "Zebra.mp4", "Movie 1.mkv", "b.mp4"};
    std::sort(names.begin(), names.end(), before);
    EXPECT_EQ(names, (std::vector<std::string>{"Ärger.mp4", "b.mp4", "Movie 1.mkv", "movie 2.mkv", "Movie 10.mkv",
                                               "Zebra.mp4"}));
}

TEST(StringCompareTest, CanonicallyEquivalentFormsAreEqual) {
    std::string composed = "Caf\xc3\xa9";     // é as one code point (NFC)
    std::string decomposed = "Cafe\xcc\x81";  // e + combining acute (NFD)
    EXPECT_TRUE(StringCompare::canonicallyEqual(composed, decomposed));
    EXPECT_TRUE(StringCompare::localizedStandardCompare(composed, decomposed) == 0);
    EXPECT_EQ(StringCompare::precomposed(decomposed), composed);
    EXPECT_FALSE(StringCompare::canonicallyEqual("Cafe", composed));
    EXPECT_FALSE(StringCompare::canonicallyEqual("cafe", "Cafe"));
}

TEST(StringCompareTest, CaseInsensitiveSearchAndLowerCase) {
    EXPECT_TRUE(StringCompare::localizedCaseInsensitiveContains("My Holiday Film.MP4", "holiday"));
    EXPECT_TRUE(StringCompare::localizedCaseInsensitiveContains("CAF\xc3\x89", "cafe\xcc\x81"));
    EXPECT_FALSE(StringCompare::localizedCaseInsensitiveContains("abc", "abd"));
    EXPECT_FALSE(StringCompare::localizedCaseInsensitiveContains("abc", ""));
    EXPECT_EQ(StringCompare::lowercased("MKV \xc3\x84"), "mkv \xc3\xa4");
}

TEST(StringCompareTest, InvalidUTF8NeverCrashes) {
    auto forward = StringCompare::localizedStandardCompare("a\xff", "b\xfe\xfe");
    auto backward = StringCompare::localizedStandardCompare("b\xfe\xfe", "a\xff");
    EXPECT_TRUE(forward < 0);
    EXPECT_TRUE(backward > 0);
    EXPECT_FALSE(StringCompare::canonicallyEqual("\xff", "a"));
}

}  // namespace
}  // namespace foundation

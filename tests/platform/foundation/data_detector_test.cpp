#include "platform/foundation/data_detector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

namespace foundation {
namespace {

// The one link `text` holds as "location+length url", or "none".
std::string firstLink(const std::string& text) {
    const auto detector = DataDetector::create(DataDetector::link);
    const auto match = detector->firstMatch(text, {0, DataDetector::utf16Length(text)});
    if (!match) return "none";
    return std::to_string(match->range.location) + "+" + std::to_string(match->range.length) + " " +
           (match->url ? match->url->absoluteString() : "(no url)");
}

TEST(DataDetectorTest, FindsLinksWithAndWithoutAScheme) {
    EXPECT_EQ(firstLink("https://example.com/a.mp4"), "0+25 https://example.com/a.mp4");
    EXPECT_EQ(firstLink("rtmp://10.0.0.2:1935/live"), "0+25 rtmp://10.0.0.2:1935/live");
    EXPECT_EQ(firstLink("www.example.com/video?id=3"), "0+26 http://www.example.com/video?id=3");
    EXPECT_EQ(firstLink("see example.org."), "4+11 http://example.org");
    EXPECT_EQ(firstLink("mail me@example.com"), "5+14 mailto:me@example.com");
    EXPECT_EQ(firstLink("(https://example.com/a_(b))."), "1+25 https://example.com/a_(b)");
    EXPECT_EQ(firstLink("\"https://x.tv/a\""), "1+14 https://x.tv/a");
}

TEST(DataDetectorTest, LeavesOutWhatIsNoLink) {
    EXPECT_EQ(firstLink(""), "none");
    EXPECT_EQ(firstLink("   "), "none");
    EXPECT_EQ(firstLink("https://"), "none");  // the placeholder: no host
    EXPECT_EQ(firstLink("https://."), "none");
    EXPECT_EQ(firstLink("movie.mkv"), "none");  // a file name, not a domain
    EXPECT_EQ(firstLink("just words"), "none");
    EXPECT_EQ(firstLink("example.com-"), "none");
}

TEST(DataDetectorTest, CountsInUtf16AndStaysInsideTheRange) {
    // "é" is one unit, the emoji two.
    EXPECT_EQ(firstLink("é 😀 https://example.com"), "5+19 https://example.com");
    EXPECT_EQ(DataDetector::utf16Length("é😀a"), 4u);
    const auto detector = DataDetector::create(DataDetector::link);
    const std::string text = "a.com b.com";
    const auto inside = detector->matches(text, {6, 5});
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(inside[0].range, (TextRange{6, 5}));
    EXPECT_TRUE(detector->matches(text, {0, 3}).empty());  // "a.c" cuts the link
    EXPECT_EQ(detector->matches(text, {0, 100}).size(), 2u);
    EXPECT_TRUE(detector->matches(text, {100, 5}).empty());
    EXPECT_FALSE(DataDetector::create(0).ok());
}

TEST(DataDetectorTest, InvalidBytesNeitherCrashNorJoinALink) {
    const std::string text = std::string("\xff\xfe") + " https://example.com \xc3";
    EXPECT_EQ(firstLink(text), "3+19 https://example.com");
}

// Any bytes, any range: matches stay inside the range, in order, without overlapping, and
// each one's URL (when made) is a link.
TEST(DataDetectorTest, ArbitraryInputKeepsMatchesInsideTheRangeAndInOrder) {
    const auto detector = DataDetector::create(DataDetector::link);
    const std::string pieces[] = {"https://", "www.", "a.com", "x@y.org", ".",    " ", "(",  ")",  "/",
                                  ":80",      "é",    "😀",     "\xff",    "\xc3", "-", "tv", "\"", "<"};
    std::uint32_t seed = 12345;
    int found = 0;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int count = static_cast<int>(next() % 12);
        for (int i = 0; i < count; ++i) text += pieces[next() % std::size(pieces)];
        const size_t length = DataDetector::utf16Length(text);
        const TextRange range{next() % (length + 2), next() % (length + 2)};
        size_t previousEnd = range.location;
        for (const auto& match : detector->matches(text, range)) {
            EXPECT_GE(match.range.location, previousEnd) << text;
            EXPECT_GT(match.range.length, 0u) << text;
            EXPECT_LE(match.range.location + match.range.length, range.location + range.length) << text;
            previousEnd = match.range.location + match.range.length;
            ++found;
            if (match.url) {
                EXPECT_FALSE(match.url->scheme().empty()) << text;
            }
        }
    }
    EXPECT_GT(found, 100);  // the pieces make links often enough to try the scanner
}

}  // namespace
}  // namespace foundation

#include "transfer/web_server_functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "platform/base/log.h"
#include "platform/foundation/string_compare.h"

namespace reelhaven {
namespace {

TEST(WebServerFunctions, FormatsHTTPDatesInGMTWhateverTheTimeZone) {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    EXPECT_EQ(WebServerHTTPDateString(foundation::Date{0}), "Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(WebServerHTTPDateString(foundation::Date{1700000000.75}), "Tue, 14 Nov 2023 22:13:20 GMT");
    unsetenv("TZ");
    tzset();
}

TEST(WebServerFunctions, ParsesHTTPDatesBackAndRejectsOtherText) {
    auto date = WebServerDateFromHTTPDateString("Tue, 14 Nov 2023 22:13:20 GMT");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->timeIntervalSince1970, 1700000000);
    EXPECT_FALSE(WebServerDateFromHTTPDateString("Tue, 14 Nov 2023 22:13:20"));
    EXPECT_FALSE(WebServerDateFromHTTPDateString("yesterday"));
    EXPECT_FALSE(WebServerDateFromHTTPDateString("Tue, 14 Foo 2023 22:13:20 GMT"));
}

TEST(WebServerFunctions, LowerCasesOnlyTheValueBeforeItsParameters) {
    EXPECT_EQ(WebServerLowercaseHeaderValue("Text/HTML; Charset=UTF-8"), "text/html; Charset=UTF-8");
    EXPECT_EQ(WebServerLowercaseHeaderValue("GZIP"), "gzip");
    EXPECT_EQ(WebServerLowercaseHeaderValue(std::nullopt), std::nullopt);
    EXPECT_EQ(WebServerHeaderValueWithoutParameters("text/html; charset=x"), "text/html");
}

TEST(WebServerFunctions, FindsHeaderParametersAtTheStartOfAParameterOnly) {
    EXPECT_EQ(WebServerHeaderParameter("multipart/form-data; boundary=\"abc def\"", "boundary"), "abc def");
    EXPECT_EQ(WebServerHeaderParameter("form-data; name=x", "filename"), std::nullopt);
    EXPECT_EQ(WebServerHeaderParameter("form-data; filename=\"x\"; name=\"y\"", "name"), "y");
    EXPECT_EQ(WebServerHeaderParameter("form-data; name=\"y\"; filename=\"x\"", "name"), "y");
    EXPECT_EQ(WebServerHeaderParameter("multipart/form-data; boundary=abc; charset=utf-8", "boundary"), "abc");
    EXPECT_EQ(WebServerHeaderParameter("text/plain; CHARSET=latin1", "charset"), "latin1");
    EXPECT_EQ(WebServerHeaderParameter("boundary=abc", "boundary"), std::nullopt);  // the type is no parameter
    EXPECT_EQ(WebServerHeaderParameter("a; x=\"unterminated", "x"), "unterminated");
}

TEST(WebServerFunctions, DecodesTextInItsCharset) {
    EXPECT_EQ(WebServerDecodeTextOfContentType("caf\xe9", "text/plain; charset=iso-8859-1"), "caf\xc3\xa9");
    EXPECT_EQ(WebServerDecodeTextOfContentType("caf\xc3\xa9", "text/plain"), "caf\xc3\xa9");
    EXPECT_EQ(WebServerDecodeTextOfContentType("caf\xe9", "text/plain"), std::nullopt);  // not UTF-8
    EXPECT_EQ(WebServerEncodingForCharset("no-such-charset"), "UTF-8");
    EXPECT_EQ(WebServerBodyDescription("abc", "application/octet-stream"), "<3 bytes>");
    EXPECT_EQ(WebServerBodyDescription("abc", "application/json"), "abc");
}

TEST(WebServerFunctions, LooksUpMIMETypes) {
    EXPECT_EQ(WebServerMIMETypeForExtension("CSS"), "text/css");
    EXPECT_EQ(WebServerMIMETypeForExtension(""), "application/octet-stream");
    EXPECT_EQ(WebServerMIMETypeForExtension("mp4"), "video/mp4");
    EXPECT_EQ(WebServerMIMETypeForExtension("no-such-extension"), "application/octet-stream");
    std::map<std::string, std::string> overrides = {{"mp4", "application/x-test"}};
    EXPECT_EQ(WebServerMIMETypeForExtension("MP4", &overrides), "application/x-test");
}

TEST(WebServerFunctions, PercentEscapesAndUnescapes) {
    EXPECT_EQ(WebServerPercentEscape("a b/c?d&e=f+g:h@i"), "a%20b%2Fc%3Fd%26e%3Df%2Bg%3Ah%40i");
    EXPECT_EQ(WebServerPercentEscape("caf\xc3\xa9"), "caf%C3%A9");
    EXPECT_EQ(WebServerPercentUnescape("/a%20b"), "/a b");
    EXPECT_EQ(WebServerPercentUnescape("caf%C3%A9"), "caf\xc3\xa9");
    EXPECT_EQ(WebServerPercentUnescape("%ZZ"), std::nullopt);
    EXPECT_EQ(WebServerPercentUnescape("%4"), std::nullopt);
    EXPECT_EQ(WebServerPercentUnescape("%FF"), std::nullopt);       // not UTF-8
    EXPECT_EQ(WebServerPercentUnescape("a%00.mp4"), std::nullopt);  // would cut a C string short
}

TEST(WebServerFunctions, ParsesForms) {
    auto form = WebServerParseFormString("a=1&b=x+y%21&a=2");
    EXPECT_EQ(form.size(), 2u);
    EXPECT_EQ(form["a"], "2");
    EXPECT_EQ(form["b"], "x y!");
    EXPECT_TRUE(WebServerParseFormString("=1").empty());
    EXPECT_EQ(WebServerParseFormString("empty=").at("empty"), "");
}

TEST(WebServerFunctions, DropsFormPairsThatDoNotDecodeWithAWarning) {
    std::vector<std::string> warnings;
    base::ScopedLogSink sink([&](base::LogLevel level, std::string_view, std::string_view message) {
        if (level == base::LogLevel::warning) warnings.emplace_back(message);
    });
    auto form = WebServerParseFormString("a=%ZZ&path=x%00y&ok=1");
    EXPECT_EQ(form.size(), 1u);
    EXPECT_EQ(form["ok"], "1");
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "Failed parsing URL encoded form for key \"a\" and value \"%ZZ\"");
}

TEST(WebServerFunctions, CleansPathsWithoutLeavingTheRoot) {
    EXPECT_EQ(WebServerCleanPath("//a/./b/"), "/a/b");
    EXPECT_EQ(WebServerCleanPath("/a/../../b"), "/b");
    EXPECT_EQ(WebServerCleanPath("../x"), "x");
    EXPECT_EQ(WebServerCleanPath("/../../etc/passwd"), "/etc/passwd");
    EXPECT_EQ(WebServerCleanPath("a/b/../.."), "");
    EXPECT_EQ(WebServerCleanPath("/"), "/");
    EXPECT_EQ(WebServerCleanPath(std::nullopt), "");
}

TEST(WebServerFunctions, HashesWithMD5) {
    EXPECT_EQ(WebServerMD5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(WebServerMD5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace reelhaven

namespace reelhaven {
namespace {

TEST(WebServerFunctions, SortsNamesInTheOrderOfTheLocalizedComparison) {
    std::vector<std::string> names = {
        "b.mkv", "Episode 10.mkv", "episode 2.mkv", "Épisode 3.mkv", "a", "A", "Episode 1.mkv", "10", "9", "_x", "z"};
    WebServerSortNamesForBrowsing(names);
    for (std::size_t i = 1; i < names.size(); ++i) {
        EXPECT_TRUE(foundation::StringCompare::localizedStandardCompare(names[i - 1], names[i]) <= 0)
            << names[i - 1] << " before " << names[i];
    }
    EXPECT_LT(std::find(names.begin(), names.end(), "episode 2.mkv"),
              std::find(names.begin(), names.end(), "Episode 10.mkv"));
}

}  // namespace
}  // namespace reelhaven

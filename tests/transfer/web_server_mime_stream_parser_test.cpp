#include "transfer/web_server_mime_stream_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reelhaven {
namespace {

// The event log of one parse: "begin name file type", "data ...", "end".
struct Recorder {
    std::vector<std::string> events;

    WebServerMIMEStreamParser::Callbacks callbacks() {
        return {
            [this](const WebServerMultiPartHead& head) {
                events.push_back("begin " + head.controlName + " " + head.fileName.value_or("-") + " " +
                                 head.contentType);
                return true;
            },
            [this](std::string_view data) {
                // Pieces of one part are joined so the log does not depend on how bytes arrive.
                if (!events.empty() && events.back().starts_with("data ")) {
                    events.back() += data;
                } else {
                    events.push_back("data " + std::string(data));
                }
                return true;
            },
            [this] {
                events.push_back("end");
                return true;
            },
        };
    }
};

struct MultipartCase {
    std::string name;
    std::string body;
    bool ok;     // no failure
    bool atEnd;  // the final boundary was seen
    std::vector<std::string> events;
    // Why a case that is not ok fails.
    WebServerMIMEStreamParser::Failure failure = WebServerMIMEStreamParser::Failure::malformed;
};

// A "multipart/mixed" part of the field "files" holding `inner` (the nested body, boundary "in").
std::string mixedPart(const std::string& inner) {
    return "--XyZ\r\nContent-Disposition: form-data; name=\"files\"\r\nContent-Type: multipart/mixed; "
           "boundary=in\r\n\r\n" +
           inner + "\r\n--XyZ--\r\n";
}

const std::vector<MultipartCase>& multipartCases() {
    static const std::vector<MultipartCase> cases = {
        {"field and file",
         "--XyZ\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\n/Show\r\n"
         "--XyZ\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"a.mp4\"\r\n"
         "Content-Type: video/mp4\r\n\r\nABC\r\n--XyZ--\r\n",
         true,
         true,
         {"begin path - text/plain", "data /Show", "end", "begin files[] a.mp4 video/mp4", "data ABC", "end"}},
        {"a head that is not UTF-8 keeps its bytes for the handler to judge",
         "--XyZ\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"a\xff.mp4\"\r\n\r\nA\r\n--XyZ--\r\n",
         true,
         true,
         {"begin files[] a\xff.mp4 text/plain", "data A", "end"}},
        {"preamble and epilogue are not parts",
         "ignored preamble\r\n--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--XyZ--\r\nepilogue",
         true,
         true,
         {"begin a - text/plain", "data 1", "end"}},
        {"boundary bytes without the dashes pass through",
         "--XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"b\"\r\n\r\nXyZ\r\nXyZ--\r\n--XyZ--\r\n",
         true,
         true,
         {"begin f b text/plain", "data XyZ\r\nXyZ--", "end"}},
        {"dashes and boundary not after CR LF are content",
         "--XyZ\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nab--XyZ\r\n--XyZ--\r\n",
         true,
         true,
         {"begin f - text/plain", "data ab--XyZ", "end"}},
        {"empty part",
         "--XyZ\r\nContent-Disposition: form-data; name=\"e\"\r\n\r\n\r\n--XyZ--\r\n",
         true,
         true,
         {"begin e - text/plain", "end"}},
        {"final boundary without CR LF",
         "--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--XyZ--",
         true,
         true,
         {"begin a - text/plain", "data 1", "end"}},
        {"parameters matched at their start only",
         "--XyZ\r\nContent-Disposition: form-data; filename=\"x\"; name=\"y\"\r\n\r\nq\r\n--XyZ--\r\n",
         true,
         true,
         {"begin y x text/plain", "data q", "end"}},
        {"disposition without a name fails",
         "--XyZ\r\nContent-Disposition: form-data\r\n\r\n1\r\n--XyZ--\r\n",
         false,
         false,
         {}},
        {"garbage after a boundary fails",
         "--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--XyZab",
         false,
         false,
         {"begin a - text/plain", "data 1"}},
        {"garbage after the first boundary fails", "--XyZ!!\r\n", false, false, {}},
        {"boundary right after the part head fails",
         "--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n--XyZ--\r\n",
         false,
         false,
         {"begin a - text/plain"}},
        {"a mixed part gives its files under the field's name",
         mixedPart("--in\r\nContent-Disposition: file; filename=\"a.mp4\"\r\n\r\nAA\r\n"
                   "--in\r\nContent-Disposition: file; filename=\"b.mp4\"\r\nContent-Type: video/mp4\r\n\r\nBB\r\n"
                   "--in--"),
         true,
         true,
         {"begin files a.mp4 text/plain", "data AA", "end", "begin files b.mp4 video/mp4", "data BB", "end"}},
        {"a mixed part inside a mixed part is refused",
         mixedPart(
             "--in\r\nContent-Disposition: file; filename=\"a\"\r\nContent-Type: multipart/mixed; boundary=deep\r\n"
             "\r\n--deep\r\nContent-Disposition: file; filename=\"x\"\r\n\r\nX\r\n--deep--\r\n--in--"),
         false,
         false,
         {},
         WebServerMIMEStreamParser::Failure::nestedTooDeep},
        {"a mixed part ending before its own final boundary fails",
         mixedPart("--in\r\nContent-Disposition: file; filename=\"a\"\r\n\r\nAA"),
         false,
         false,
         {"begin files a text/plain"}},
        {"a mixed part without a boundary fails",
         "--XyZ\r\nContent-Disposition: form-data; name=\"files\"\r\nContent-Type: multipart/mixed\r\n\r\n"
         "x\r\n--XyZ--\r\n",
         false,
         false,
         {}},
        {"cut before the final boundary",
         "--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n12345",
         true,
         false,
         {"begin a - text/plain"}},
    };
    return cases;
}

void run(const MultipartCase& test, bool byteByByte, const std::string& trailing) {
    Recorder recorder;
    auto parser = WebServerMIMEStreamParser::create("XyZ", std::nullopt, recorder.callbacks());
    ASSERT_NE(parser, nullptr);
    std::string bytes = test.body + trailing;
    bool ok = true;
    if (byteByByte) {
        for (char c : bytes) ok = parser->append(std::string_view(&c, 1)) && ok;
    } else {
        ok = parser->append(bytes);
    }
    std::string label = test.name + (byteByByte ? " (byte by byte)" : "") + (trailing.empty() ? "" : " (trailing)");
    EXPECT_EQ(ok, test.ok) << label;
    EXPECT_EQ(parser->isAtEnd(), test.atEnd) << label;
    if (!test.ok) {
        EXPECT_EQ(parser->failure(), test.failure) << label;
    }
    // A cut body holds back the last bytes (they could start a boundary): compare the prefix.
    if (test.ok && !test.atEnd) {
        ASSERT_FALSE(recorder.events.empty()) << label;
        EXPECT_EQ(recorder.events.front(), test.events.front()) << label;
        return;
    }
    if (test.ok) {
        EXPECT_EQ(recorder.events, test.events) << label;
    }
}

TEST(WebServerMIMEStreamParser, ParsesEveryCaseWholeByteByByteAndWithTrailingBytes) {
    for (const auto& test : multipartCases()) {
        run(test, false, "");
        run(test, true, "");
        if (test.atEnd) run(test, false, "\r\n--XyZ\r\ntrailing junk");
    }
}

TEST(WebServerMIMEStreamParser, RefusesBadBoundaries) {
    EXPECT_EQ(WebServerMIMEStreamParser::create("", std::nullopt, {}), nullptr);
    EXPECT_EQ(WebServerMIMEStreamParser::create("a\r\nb", std::nullopt, {}), nullptr);
    EXPECT_EQ(WebServerMIMEStreamParser::create(std::string(300, 'a'), std::nullopt, {}), nullptr);
}

TEST(WebServerMIMEStreamParser, KeepsOnlyASmallWindowOfALargePart) {
    std::size_t largestPiece = 0;
    std::size_t total = 0;
    WebServerMIMEStreamParser::Callbacks callbacks{[](const WebServerMultiPartHead&) { return true; },
                                                   [&](std::string_view data) {
                                                       largestPiece = std::max(largestPiece, data.size());
                                                       total += data.size();
                                                       return true;
                                                   },
                                                   [] { return true; }};
    auto parser = WebServerMIMEStreamParser::create("XyZ", std::nullopt, callbacks);
    ASSERT_TRUE(parser->append("--XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"big\"\r\n\r\n"));
    std::string block(4096, 'x');
    for (int i = 0; i < 256; ++i) ASSERT_TRUE(parser->append(block));
    // Everything but the last few bytes (which might start a boundary) is already handed on.
    EXPECT_GE(total, 256u * 4096u - 16u);
    EXPECT_LE(largestPiece, 4096u + 16u);
    ASSERT_TRUE(parser->append("\r\n--XyZ--\r\n"));
    EXPECT_EQ(total, 256u * 4096u);
}

TEST(WebServerMIMEStreamParser, HandsOnEachPieceWholeAndHoldsBackOnlyAStartOfTheBoundary) {
    std::vector<std::size_t> pieces;
    WebServerMIMEStreamParser::Callbacks callbacks{[](const WebServerMultiPartHead&) { return true; },
                                                   [&](std::string_view data) {
                                                       pieces.push_back(data.size());
                                                       return true;
                                                   },
                                                   [] { return true; }};
    auto parser = WebServerMIMEStreamParser::create("XyZ", std::nullopt, callbacks);
    ASSERT_TRUE(parser->append("--XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"big\"\r\n\r\n"));
    // Pieces as socket reads give them: each handed on in place, in one call (one write).
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(parser->append(std::string(256 * 1024, 'x')));
    EXPECT_EQ(pieces, (std::vector<std::size_t>{256 * 1024, 256 * 1024, 256 * 1024}));
    EXPECT_EQ(parser->heldBytes(), 0u);
    // A piece ending in what may start the boundary keeps just that back.
    ASSERT_TRUE(parser->append("tail\r\n--Xy"));
    EXPECT_EQ(parser->heldBytes(), 6u);
    ASSERT_TRUE(parser->append("Z--\r\n"));
    EXPECT_TRUE(parser->isAtEnd());
    EXPECT_EQ(pieces.back(), 4u);
}

TEST(WebServerMIMEStreamParser, ABodyOfNothingButNestedLevelsFailsAtTheSecondAndHoldsLittle) {
    // Each level is a mixed part whose content opens the next one.
    std::string body;
    for (int level = 0; level < 10000; ++level) {
        body += "--b" + std::to_string(level) +
                "\r\nContent-Disposition: form-data; name=\"f\"\r\nContent-Type: multipart/mixed; boundary=b" +
                std::to_string(level + 1) + "\r\n\r\n";
    }
    auto parser = WebServerMIMEStreamParser::create("b0", std::nullopt, {});
    bool ok = true;
    std::size_t mostHeld = 0;
    for (std::size_t at = 0; at < body.size() && ok; at += 64 * 1024) {
        ok = parser->append(std::string_view(body).substr(at, 64 * 1024));
        mostHeld = std::max(mostHeld, parser->heldBytes());
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(parser->failure(), WebServerMIMEStreamParser::Failure::nestedTooDeep);
    EXPECT_LT(mostHeld, 64u * 1024u);
}

TEST(WebServerMIMEStreamParser, RejectsAnEndlessPartHead) {
    auto parser = WebServerMIMEStreamParser::create("XyZ", std::nullopt, {}, 1024);
    ASSERT_TRUE(parser->append("--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n"));
    bool ok = true;
    for (int i = 0; i < 100 && ok; ++i) ok = parser->append("X-Filler: 0123456789\r\n");
    EXPECT_FALSE(ok);
}

TEST(WebServerMIMEStreamParser, FileDispositionTakesTheDefaultControlName) {
    Recorder recorder;
    auto parser = WebServerMIMEStreamParser::create("in", std::string("files"), recorder.callbacks());
    ASSERT_TRUE(parser->append("--in\r\nContent-Disposition: file; filename=\"one.mp4\"\r\n\r\n1\r\n--in--"));
    EXPECT_TRUE(parser->isAtEnd());
    ASSERT_FALSE(recorder.events.empty());
    EXPECT_EQ(recorder.events.front(), "begin files one.mp4 text/plain");
}

TEST(WebServerMIMEStreamParser, StopsWhenACallbackFails) {
    WebServerMIMEStreamParser::Callbacks callbacks{[](const WebServerMultiPartHead&) { return false; }, {}, {}};
    auto parser = WebServerMIMEStreamParser::create("XyZ", std::nullopt, callbacks);
    EXPECT_FALSE(parser->append("--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--XyZ--\r\n"));
    EXPECT_FALSE(parser->append("more"));  // failures stick
}

}  // namespace
}  // namespace reelhaven

#include "transfer/web_server_chunked_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reelhaven {
namespace {

using Status = WebServerChunkedDecoder::Status;

struct ChunkedCase {
    std::string name;
    std::string bytes;
    Status status;
    std::string body;  // what reached the sink
};

const std::vector<ChunkedCase>& chunkedCases() {
    static const std::vector<ChunkedCase> cases = {
        {"one chunk with extension", "5;ext=1\r\nhello\r\n0\r\n\r\n", Status::done, "hello"},
        {"two chunks", "3\r\nabc\r\n4\r\ndefg\r\n0\r\n\r\n", Status::done, "abcdefg"},
        {"upper-case hex", "A\r\n0123456789\r\n0\r\n\r\n", Status::done, "0123456789"},
        {"leading zeros", "0005\r\nhello\r\n0\r\n\r\n", Status::done, "hello"},
        {"white space before extension", "5 ;a=b\r\nhello\r\n0\r\n\r\n", Status::done, "hello"},
        {"trailers are skipped", "2\r\nhi\r\n0\r\nX-Sum: 1\r\nX-B: 2\r\n\r\n", Status::done, "hi"},
        {"empty body", "0\r\n\r\n", Status::done, ""},
        {"data holding CR LF", "4\r\n\r\n\r\n\r\n0\r\n\r\n", Status::done, "\r\n\r\n"},
        {"size with a letter after it", "5x\r\nhello\r\n0\r\n\r\n", Status::error, ""},
        {"negative size", "-5\r\nhello\r\n0\r\n\r\n", Status::error, ""},
        {"plus sign", "+5\r\nhello\r\n0\r\n\r\n", Status::error, ""},
        {"0x prefix", "0x5\r\nhello\r\n0\r\n\r\n", Status::error, ""},
        {"empty size line", "\r\nhello\r\n0\r\n\r\n", Status::error, ""},
        {"overflowing size", "10000000000000000\r\n", Status::error, ""},
        {"huge size", "FFFFFFFFFFFFFFFF\r\n", Status::error, ""},
        {"bare LF after size", "5\nhello\r\n0\r\n\r\n", Status::error, ""},
        {"missing CR LF after data", "5\r\nhelloXX\r\n0\r\n\r\n", Status::error, "hello"},
    };
    return cases;
}

std::size_t decode(WebServerChunkedDecoder& decoder, const std::string& bytes, bool byteByByte, std::string& body) {
    auto sink = [&body](std::string_view data) {
        body.append(data);
        return true;
    };
    if (!byteByByte) return decoder.feed(bytes, sink);
    std::size_t taken = 0;
    for (char c : bytes) {
        if (decoder.status() != Status::needMore) break;
        taken += decoder.feed(std::string_view(&c, 1), sink);
    }
    return taken;
}

TEST(WebServerChunkedDecoder, DecodesEveryCaseWholeAndByteByByte) {
    for (bool byteByByte : {false, true}) {
        for (const auto& test : chunkedCases()) {
            WebServerChunkedDecoder decoder;
            std::string body;
            std::size_t taken = decode(decoder, test.bytes, byteByByte, body);
            EXPECT_EQ(decoder.status(), test.status) << test.name << (byteByByte ? " (byte by byte)" : "");
            EXPECT_EQ(body, test.body) << test.name;
            if (test.status == Status::done) {
                EXPECT_EQ(taken, test.bytes.size()) << test.name;
            }
        }
    }
}

TEST(WebServerChunkedDecoder, LeavesBytesAfterTheBodyUnread) {
    for (const auto& test : chunkedCases()) {
        if (test.status != Status::done) continue;
        WebServerChunkedDecoder decoder;
        std::string body;
        std::string bytes = test.bytes + "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        std::size_t taken = decode(decoder, bytes, false, body);
        EXPECT_EQ(taken, test.bytes.size()) << test.name;
        EXPECT_EQ(body, test.body) << test.name;
    }
}

TEST(WebServerChunkedDecoder, HandsChunkDataOnBeforeTheChunkEnds) {
    WebServerChunkedDecoder decoder;
    std::vector<std::string> pieces;
    auto sink = [&pieces](std::string_view data) {
        pieces.emplace_back(data);
        return true;
    };
    decoder.feed("10\r\n0123", sink);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], "0123");
    decoder.feed("456789abcdef\r\n0\r\n\r\n", sink);
    EXPECT_EQ(decoder.status(), Status::done);
}

TEST(WebServerChunkedDecoder, RejectsOverlongSizeLinesAndTrailers) {
    WebServerChunkedDecoder lines(16, 64);
    std::string body;
    decode(lines, "5;" + std::string(100, 'e') + "\r\nhello\r\n0\r\n\r\n", false, body);
    EXPECT_EQ(lines.status(), Status::error);

    WebServerChunkedDecoder trailers(16, 64);
    std::string trailer;
    for (int i = 0; i < 20; ++i) trailer += "X-T: 1234567\r\n";
    decode(trailers, "0\r\n" + trailer + "\r\n", false, body);
    EXPECT_EQ(trailers.status(), Status::error);
}

TEST(WebServerChunkedDecoder, StopsWhenTheSinkFails) {
    WebServerChunkedDecoder decoder;
    decoder.feed("5\r\nhello\r\n0\r\n\r\n", [](std::string_view) { return false; });
    EXPECT_EQ(decoder.status(), Status::error);
}

}  // namespace
}  // namespace reelhaven

#include "transfer/web_server_request_head_parser.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace reelhaven {
namespace {

using Status = WebServerRequestHeadParser::Status;

struct HeadCase {
    std::string name;
    std::string bytes;
    Status status;
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers;
};

const std::vector<HeadCase>& headCases() {
    static const std::vector<HeadCase> cases = {
        {"simple get", "GET / HTTP/1.1\r\nHost: a\r\n\r\n", Status::complete, "GET", "/", {{"Host", "a"}}},
        {"no headers", "GET /x?y=1 HTTP/1.0\r\n\r\n", Status::complete, "GET", "/x?y=1", {}},
        {"value white space trimmed",
         "POST /u HTTP/1.1\r\nHost: a\r\nContent-Length:   5 \t\r\n\r\n",
         Status::complete,
         "POST",
         "/u",
         {{"Host", "a"}, {"content-length", "5"}}},
        {"repeated header joined",
         "GET / HTTP/1.1\r\nHost: a\r\nAccept: a\r\naccept: b\r\n\r\n",
         Status::complete,
         "GET",
         "/",
         {{"Host", "a"}, {"Accept", "a, b"}}},
        {"same content length twice",
         "POST / HTTP/1.1\r\nContent-Length: 3\r\nContent-Length: 3\r\nHost: a\r\n\r\n",
         Status::complete,
         "POST",
         "/",
         {{"Content-Length", "3"}, {"Host", "a"}}},
        {"absolute form target",
         "GET http://h:80/p HTTP/1.1\r\nHost: h:80\r\n\r\n",
         Status::complete,
         "GET",
         "http://h:80/p",
         {{"Host", "h:80"}}},
        {"HTTP/1.0 without a host",
         "GET / HTTP/1.0\r\nAccept: a\r\n\r\n",
         Status::complete,
         "GET",
         "/",
         {{"Accept", "a"}}},
        {"value with high bytes",
         "GET / HTTP/1.1\r\nHost: a\r\nX-Name: caf\xc3\xa9\r\n\r\n",
         Status::complete,
         "GET",
         "/",
         {{"Host", "a"}, {"X-Name", "caf\xc3\xa9"}}},
        // Rejected shapes, several of them request-smuggling tricks.
        {"conflicting content lengths", "POST / HTTP/1.1\r\nHost: a\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\n",
         Status::error},
        {"HTTP/1.1 without a host", "GET / HTTP/1.1\r\nAccept: a\r\n\r\n", Status::error},
        {"HTTP/1.1 absolute form without a host", "GET http://h/p HTTP/1.1\r\n\r\n", Status::error},
        {"two hosts", "GET / HTTP/1.1\r\nHost: a\r\nHost: evil.example\r\n\r\n", Status::error},
        {"the same host twice", "GET / HTTP/1.1\r\nHost: a\r\nhOST: a\r\n\r\n", Status::error},
        {"two hosts in HTTP/1.0", "GET / HTTP/1.0\r\nHost: a\r\nHost: b\r\n\r\n", Status::error},
        {"space before colon", "GET / HTTP/1.1\r\nHost: a\r\nX-A : b\r\n\r\n", Status::error},
        {"folded line", "GET / HTTP/1.1\r\nHost: a\r\nX-A: a\r\n b\r\n\r\n", Status::error},
        {"bare LF inside a value", "GET / HTTP/1.1\r\nHost: a\r\nX-A: a\nContent-Length: 5\r\n\r\n", Status::error},
        {"bare CR inside a value", "GET / HTTP/1.1\r\nHost: a\r\nX-A: a\rb\r\n\r\n", Status::error},
        {"NUL inside a value", std::string("GET / HTTP/1.1\r\nHost: a\r\nX-A: a\0b\r\n\r\n", 38), Status::error},
        {"header without colon", "GET / HTTP/1.1\r\nHost: a\r\nnonsense\r\n\r\n", Status::error},
        {"empty header name", "GET / HTTP/1.1\r\nHost: a\r\n: a\r\n\r\n", Status::error},
        {"unknown version", "GET / HTTP/2.0\r\n\r\n", Status::error},
        {"missing version", "GET /\r\n\r\n", Status::error},
        {"two spaces", "GET  / HTTP/1.1\r\n\r\n", Status::error},
        {"method not a token", "G(T / HTTP/1.1\r\n\r\n", Status::error},
        {"empty line first", "\r\nGET / HTTP/1.1\r\n\r\n", Status::error},
    };
    return cases;
}

void expectCase(const HeadCase& test, WebServerRequestHeadParser& parser, std::size_t taken, std::size_t headLength) {
    ASSERT_EQ(parser.status(), test.status) << test.name << ": " << parser.error();
    if (test.status != Status::complete) return;
    EXPECT_EQ(taken, headLength) << test.name;
    EXPECT_EQ(parser.head().method, test.method) << test.name;
    EXPECT_EQ(parser.head().target, test.target) << test.name;
    EXPECT_EQ(parser.head().headers.size(), test.headers.size()) << test.name;
    for (const auto& [name, value] : test.headers) {
        auto* found = WebServerHeaderValue(parser.head().headers, name);
        ASSERT_NE(found, nullptr) << test.name << ": " << name;
        EXPECT_EQ(*found, value) << test.name;
    }
}

TEST(WebServerRequestHeadParser, ParsesEveryCaseWhole) {
    for (const auto& test : headCases()) {
        WebServerRequestHeadParser parser;
        std::size_t taken = parser.feed(test.bytes);
        expectCase(test, parser, taken, test.bytes.size());
    }
}

TEST(WebServerRequestHeadParser, ParsesEveryCaseByteByByte) {
    for (const auto& test : headCases()) {
        WebServerRequestHeadParser parser;
        std::size_t taken = 0;
        for (char c : test.bytes) {
            if (parser.status() != Status::needMore) break;
            taken += parser.feed(std::string_view(&c, 1));
        }
        expectCase(test, parser, taken, test.bytes.size());
    }
}

TEST(WebServerRequestHeadParser, LeavesTrailingBytesUnread) {
    for (const auto& test : headCases()) {
        WebServerRequestHeadParser parser;
        std::string bytes = test.bytes + "BODY\r\n\r\nMORE";
        std::size_t taken = parser.feed(bytes);
        expectCase(test, parser, taken, test.bytes.size());
        if (test.status == Status::complete) {
            EXPECT_EQ(bytes.substr(taken), "BODY\r\n\r\nMORE");
        }
    }
}

TEST(WebServerRequestHeadParser, WaitsForTheBlankLine) {
    WebServerRequestHeadParser parser;
    EXPECT_EQ(parser.feed("GET / HTTP/1.1\r\nHost: a\r\n"), 25u);
    EXPECT_EQ(parser.status(), Status::needMore);
    EXPECT_EQ(parser.feed("\r\n"), 2u);
    EXPECT_EQ(parser.status(), Status::complete);
}

TEST(WebServerRequestHeadParser, RejectsAHeadOverItsLimit) {
    WebServerRequestHeadParser parser(64);
    std::string head = "GET / HTTP/1.1\r\nX-Long: " + std::string(100, 'a') + "\r\n\r\n";
    parser.feed(head);
    EXPECT_EQ(parser.status(), Status::error);
    EXPECT_TRUE(parser.isTooLarge());
}

TEST(WebServerRequestHeadParser, AMalformedHeadIsNotTooLarge) {
    WebServerRequestHeadParser parser;
    parser.feed("GET / HTTP/1.1\r\nBad Name: x\r\n\r\n");
    EXPECT_EQ(parser.status(), Status::error);
    EXPECT_FALSE(parser.isTooLarge());
}

TEST(WebServerRequestHeadParser, RejectsEndlessHeadsAtTheDefaultLimitOf64KiB) {
    WebServerRequestHeadParser parser;
    std::string line = "X-Filler: " + std::string(1000, 'x') + "\r\n";
    parser.feed("GET / HTTP/1.1\r\n");
    std::size_t fed = 16;
    while (parser.status() == Status::needMore && fed < 200 * 1024) {
        parser.feed(line);
        fed += line.size();
    }
    EXPECT_EQ(parser.status(), Status::error);
    EXPECT_LE(fed, 66 * 1024u);
}

TEST(WebServerRequestHeadParser, AcceptsAHeadJustUnderTheLimit) {
    std::string head = "GET / HTTP/1.1\r\nHost: a\r\nX-Long: " + std::string(100, 'a') + "\r\n\r\n";
    WebServerRequestHeadParser parser(head.size());
    parser.feed(head);
    EXPECT_EQ(parser.status(), Status::complete);
}

}  // namespace
}  // namespace reelhaven

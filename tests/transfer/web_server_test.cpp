#include "transfer/web_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <thread>

#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "support/temp_dir.h"
#include "transfer/web_server_data_request.h"
#include "transfer/web_server_data_response.h"
#include "transfer/web_server_error_response.h"
#include "transfer/web_server_log.h"
#include "transfer_test_support.h"

namespace reelhaven {
namespace {

using namespace std::chrono_literals;
using transfer_testing::connectTo;
using transfer_testing::exchange;
using transfer_testing::parseResponse;
using transfer_testing::readAll;
using transfer_testing::sendAll;

class RecordingDelegate : public WebServerDelegate {
public:
    std::vector<std::string> events;
    void webServerDidStart(WebServer&) override { events.push_back("start"); }
    void webServerDidConnect(WebServer&) override { events.push_back("connect"); }
    void webServerDidDisconnect(WebServer&) override { events.push_back("disconnect"); }
    void webServerDidStop(WebServer&) override { events.push_back("stop"); }
    int count(const std::string& event) const { return int(std::count(events.begin(), events.end(), event)); }
};

std::string gzip(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

class WebServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        server->addHandlerWithProcessBlock(
            [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
                return info.method == "POST" && info.path == "/echo"
                           ? WebServerRequest::make<WebServerDataRequest>(info)
                           : nullptr;
            },
            [this](const std::shared_ptr<WebServerRequest>& request) -> std::shared_ptr<WebServerResponse> {
                auto& data = static_cast<WebServerDataRequest&>(*request);
                std::lock_guard lock(mutex);
                echoed.push_back(data.data());
                return WebServerDataResponse::responseWithData(data.data(), "application/octet-stream");
            });
        server->addHandlerWithProcessBlock(
            [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
                return info.method == "GET" ? WebServerRequest::make<WebServerRequest>(info) : nullptr;
            },
            [this](const std::shared_ptr<WebServerRequest>& request) -> std::shared_ptr<WebServerResponse> {
                std::lock_guard lock(mutex);
                paths.push_back(request->path());
                if (request->path() == "/missing") return WebServerErrorResponse::responseWithClientError(404, "gone");
                auto response = WebServerDataResponse::responseWithText("path " + request->path());
                response->setETag("\"tag\"");
                return response;
            });
        server->setDelegate(delegate);
    }

    void TearDown() override {
        server->stop();
        EXPECT_TRUE(server->waitForConnectionsToEnd(10s));
        loop.runUntilIdle();
    }

    WebServerOptions localOptions() {
        WebServerOptions options;
        options.bindToLocalhost = true;
        return options;
    }

    void start(const WebServerOptions& options) { ASSERT_TRUE(server->startWithOptions(options)); }
    void start() { start(localOptions()); }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<WebServer> server = WebServer::create();
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::mutex mutex;
    std::vector<std::string> echoed;
    std::vector<std::string> paths;
};

TEST_F(WebServerTest, StartsOnASystemChosenPortForIPv4AndIPv6) {
    start();
    ASSERT_NE(server->port(), 0);
    EXPECT_EQ(server->serverURL(), "http://localhost:" + std::to_string(server->port()) + "/");
    auto v4 = parseResponse(exchange(server->port(), "GET /four HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", AF_INET));
    EXPECT_EQ(v4.status, 200);
    EXPECT_EQ(v4.body, "path /four");
    int probe = connectTo(server->port(), AF_INET6);
    if (probe >= 0) {
        ::close(probe);
        auto v6 = parseResponse(exchange(server->port(), "GET /six HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", AF_INET6));
        EXPECT_EQ(v6.status, 200);
    }
    EXPECT_TRUE(loop.runUntil([&] { return delegate->count("start") == 1; }));
}

TEST_F(WebServerTest, RefusesASecondStartWhileRunning) {
    start();
    std::uint16_t port = server->port();
    EXPECT_FALSE(server->startWithOptions(localOptions()));
    EXPECT_EQ(server->port(), port);
    EXPECT_TRUE(server->isRunning());
}

TEST_F(WebServerTest, APortOverrideTakesThePlaceOfThePortAskedFor) {
    // Another server holds a port; the override sends a start that asks for port 80 there.
    start();
    auto other = WebServer::create();
    other->setPortOverride(server->port());
    WebServerOptions options = localOptions();
    options.port = 80;
    foundation::Error error;
    EXPECT_FALSE(other->startWithOptions(options, &error));
    EXPECT_TRUE(error.isPOSIX(EADDRINUSE)) << error.description;
    // A free port chosen by the system, whatever was asked.
    other->setPortOverride(0);
    ASSERT_TRUE(other->startWithOptions(options));
    EXPECT_NE(other->port(), 80);
    EXPECT_NE(other->port(), server->port());
    other->stop();
}

TEST_F(WebServerTest, ReportsAPortInUseAsAPOSIXError) {
    start();
    auto other = WebServer::create();
    WebServerOptions options = localOptions();
    options.port = server->port();
    foundation::Error error;
    std::vector<std::string> errors;
    base::ScopedLogSink sink([&](base::LogLevel level, std::string_view, std::string_view message) {
        if (level == base::LogLevel::error) errors.emplace_back(message);
    });
    EXPECT_FALSE(other->startWithOptions(options, &error));
    EXPECT_FALSE(other->isRunning());
    EXPECT_TRUE(error.isPOSIX(EADDRINUSE));
    ASSERT_FALSE(errors.empty());
    EXPECT_TRUE(errors[0].starts_with("Failed binding IPv4 listening socket: ")) << errors[0];
}

TEST_F(WebServerTest, ParsesAHeadThatArrivesInSmallPieces) {
    start();
    int fd = connectTo(server->port());
    for (char c : std::string("GET /slow HTTP/1.1\r\nHost: localhost\r\n\r\n"))
        ASSERT_TRUE(sendAll(fd, std::string(1, c)));
    auto response = parseResponse(readAll(fd));
    ::close(fd);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "path /slow");
}

TEST_F(WebServerTest, DecodesThePathAndRejectsANulInIt) {
    start();
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /a%20b HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).body,
              "path /a b");
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /a%00b HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).status, 400);
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /a%ZZ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).status, 400);
    EXPECT_EQ(
        parseResponse(exchange(server->port(), "GET http://127.0.0.1/abs?x=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"))
            .body,
        "path /abs");
}

TEST_F(WebServerTest, AnswersHEADWithTheHeadOfGETAndNoBody) {
    WebServerSetLogLevel(base::LogLevel::verbose);
    std::vector<std::string> lines;
    base::ScopedLogSink sink([&](base::LogLevel level, std::string_view, std::string_view message) {
        if (level == base::LogLevel::verbose) lines.emplace_back(message);
    });
    start();
    auto get = parseResponse(exchange(server->port(), "GET /h HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    auto head = parseResponse(exchange(server->port(), "HEAD /h HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    // A decoded line break in the path must not start a forged line in the access log.
    exchange(server->port(), "GET /h%0D%0A[INFO]%20forged HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_TRUE(server->waitForConnectionsToEnd(10s));
    WebServerSetLogLevel(base::LogLevel::info);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("content-length"), get.header("content-length"));
    EXPECT_EQ(head.body, "");
    EXPECT_TRUE(server->waitForConnectionsToEnd(10s));
    bool sawHead = std::any_of(lines.begin(), lines.end(),
                               [](const std::string& line) { return line.find("\"HEAD /h\"") != std::string::npos; });
    EXPECT_TRUE(sawHead);
    for (const auto& line : lines) EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("\"GET /h%0D%0A[INFO] forged\"") != std::string::npos;
    }));
}

TEST_F(WebServerTest, SendsContinueBeforeReadingTheBody) {
    start();
    int fd = connectTo(server->port());
    ASSERT_TRUE(
        sendAll(fd, "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\nExpect: 100-continue\r\n\r\n"));
    std::string interim;
    char buffer[256];
    while (interim.find("\r\n\r\n") == std::string::npos) {
        ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        ASSERT_GT(count, 0);
        interim.append(buffer, static_cast<std::size_t>(count));
    }
    EXPECT_EQ(interim, "HTTP/1.1 100 Continue\r\n\r\n");
    ASSERT_TRUE(sendAll(fd, "hello"));
    auto response = parseResponse(readAll(fd));
    ::close(fd);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "hello");
}

TEST_F(WebServerTest, RefusesOtherExpectations) {
    start();
    auto response = parseResponse(
        exchange(server->port(),
                 "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\nExpect: something\r\n\r\nhello"));
    EXPECT_EQ(response.status, 417);
}

TEST_F(WebServerTest, ReadsChunkedBodiesAndRejectsBadChunkSizes) {
    start();
    auto good = parseResponse(exchange(server->port(),
                                       "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n"
                                       "5;ext=1\r\nhello\r\n0\r\n\r\n"));
    EXPECT_EQ(good.status, 200);
    EXPECT_EQ(good.body, "hello");
    for (const char* size : {"5x", "-5", "+5", "FFFFFFFFFFFFFFFFFF"}) {
        auto bad = parseResponse(
            exchange(server->port(), std::string("POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: "
                                                 "chunked\r\n\r\n") +
                                         size + "\r\nhello\r\n0\r\n\r\n"));
        EXPECT_EQ(bad.status, 400) << size;
    }
}

// Each refused request gets the status that names its fault, and the server goes on serving.
TEST_F(WebServerTest, RefusesMalformedRequestsAndUnsafeFramingWithTheStatusThatNamesTheFault) {
    start();
    struct Case {
        const char* what;
        std::string request;
        int status;
    };
    const std::vector<Case> cases = {
        {"request line without a version", "GARBAGE\r\n\r\n", 400},
        {"unknown version", "GET / HTTP/2.7\r\n\r\n", 400},
        {"header without a colon", "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nNoColon\r\n\r\n", 400},
        {"folded header", "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nA: b\r\n c\r\n\r\n", 400},
        {"bad percent-encoding", "GET /a%Z HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 400},
        {"length and chunked",
         "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n"
         "5\r\nhello\r\n0\r\n\r\n",
         400},
        {"negative length", "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: -1\r\n\r\n", 400},
        {"length with a sign", "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: +5\r\n\r\nhello", 400},
        {"length not a number", "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5x\r\n\r\nhello", 400},
        {"length beyond 64 bits",
         "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 99999999999999999999999\r\n\r\n", 413},
        {"length over the in-memory cap",
         "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 999999999999\r\n\r\n", 413},
        // Past what a file can hold, 2^63 up to 2^64 - 1 included: no body of that length can be stored.
        {"length of 2^63", "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 9223372036854775808\r\n\r\n",
         413},
        {"length of 2^64 - 1", "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 18446744073709551615\r\n\r\n",
         413},
        {"HTTP/1.1 without a host", "GET /x HTTP/1.1\r\n\r\n", 400},
        {"two hosts", "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\nHost: evil.example\r\n\r\n", 400},
        {"another host first", "GET /x HTTP/1.1\r\nHost: evil.example\r\nHost: 127.0.0.1\r\n\r\n", 400},
        {"unknown transfer coding",
         "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: gzip, chunked\r\n\r\n0\r\n\r\n", 501},
        {"chunk data not ended by CRLF",
         "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhelloXX0\r\n\r\n", 400},
        {"more bytes than the length", "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 2\r\n\r\nhello", 400},
        {"no handler", "PUT /echo HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 501},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(parseResponse(exchange(server->port(), each.request)).status, each.status) << each.what;
    }
    auto served = parseResponse(exchange(server->port(), "GET /still HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    EXPECT_EQ(served.status, 200);
    EXPECT_EQ(served.body, "path /still");
}

TEST_F(WebServerTest, RejectsAHeadOver64KiB) {
    start();
    std::string head = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    while (head.size() < 70 * 1024) head += "X-Filler: " + std::string(1000, 'f') + "\r\n";
    EXPECT_EQ(parseResponse(exchange(server->port(), head + "\r\n")).status, 431);
}

TEST_F(WebServerTest, InflatesGzipBodiesCompletelyAndRejectsTruncatedOnes) {
    start();
    std::string body;
    for (int i = 0; i < 400000; ++i) body += char('a' + i % 26);  // inflates to more than 256 KiB
    std::string compressed = gzip(body);
    auto good = parseResponse(exchange(
        server->port(), "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Encoding: gzip\r\nContent-Length: " +
                            std::to_string(compressed.size()) + "\r\n\r\n" + compressed));
    EXPECT_EQ(good.status, 200);
    EXPECT_EQ(good.body, body);
    std::string truncated = compressed.substr(0, compressed.size() - 12);
    auto bad = parseResponse(exchange(
        server->port(), "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Encoding: gzip\r\nContent-Length: " +
                            std::to_string(truncated.size()) + "\r\n\r\n" + truncated));
    EXPECT_EQ(bad.status, 500);
}

// A JSON body is read by the one reader of JSON: a body nested deep enough to overflow the stack
// when its value is copied or compared is no object, like any malformed body.
TEST_F(WebServerTest, ReadsJSONBodiesOfJSONTypesAndRefusesThoseNestedTooDeep) {
    server->addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.method == "POST" && info.path == "/json" ? WebServerRequest::make<WebServerDataRequest>(info)
                                                                 : nullptr;
        },
        [](const std::shared_ptr<WebServerRequest>& request) -> std::shared_ptr<WebServerResponse> {
            auto json = static_cast<WebServerDataRequest&>(*request).jsonObject();
            auto copy = json;  // what a handler does with a value: copies and compares it
            bool same = copy == json;
            return WebServerDataResponse::responseWithText(json && same ? json->dump() : "none");
        });
    start();
    auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    struct Case {
        const char* what;
        std::string contentType;
        std::string body;
        std::string expected;
    };
    const Case cases[] = {
        {"an object", "application/json", R"({"a":[1,2]})", R"({"a":[1,2]})"},
        {"a type with parameters", "text/json; charset=utf-8", "[true]", "[true]"},
        {"script", "text/javascript", "7", "7"},
        {"another type", "text/plain", "[1]", "none"},
        {"malformed", "application/json", "{\"a\":", "none"},
        {"as deep as stored files may nest", "application/json", nested(100), nested(100)},
        {"one level deeper", "application/json", nested(101), "none"},
        {"deep enough to overflow the stack", "application/json", nested(200000), "none"},
    };
    for (const auto& c : cases) {
        auto answer = parseResponse(
            exchange(server->port(), "POST /json HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: " + c.contentType +
                                         "\r\nContent-Length: " + std::to_string(c.body.size()) + "\r\n\r\n" + c.body));
        EXPECT_EQ(answer.status, 200) << c.what;
        EXPECT_EQ(answer.body, c.expected) << c.what;
    }
}

TEST_F(WebServerTest, AppliesCacheControlOnlyToSuccesses) {
    start();
    auto ok = parseResponse(exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    EXPECT_EQ(ok.header("cache-control"), "no-cache");
    EXPECT_EQ(ok.header("connection"), "Close");
    EXPECT_EQ(ok.header("server"), "WebServer");
    auto missing = parseResponse(exchange(server->port(), "GET /missing HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    EXPECT_EQ(missing.status, 404);
    EXPECT_FALSE(missing.has("cache-control"));
    EXPECT_EQ(missing.body.find("<h1>HTTP Error 404: gone</h1>") != std::string::npos, true);
}

TEST_F(WebServerTest, AnswersUnchangedResourcesWith304Or412) {
    start();
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\nIf-None-Match: *\r\n\r\n"))
                  .status,
              304);
    EXPECT_EQ(
        parseResponse(exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\nIf-None-Match: \"tag\"\r\n\r\n"))
            .status,
        304);
    EXPECT_EQ(parseResponse(
                  exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\nIf-None-Match: \"other\"\r\n\r\n"))
                  .status,
              200);
    server->addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.method == "POST" && info.path == "/tagged" ? WebServerRequest::make<WebServerRequest>(info)
                                                                   : nullptr;
        },
        [](const std::shared_ptr<WebServerRequest>&) -> std::shared_ptr<WebServerResponse> {
            auto response = WebServerDataResponse::responseWithText("t");
            response->setETag("\"tag\"");
            return response;
        });
    EXPECT_EQ(
        parseResponse(exchange(server->port(), "POST /tagged HTTP/1.1\r\nHost: 127.0.0.1\r\nIf-None-Match: *\r\n\r\n"))
            .status,
        412);
}

TEST_F(WebServerTest, AMatchingTagAnswers304AlsoWhenTheDateIsStale) {
    server->addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.path == "/dated" ? WebServerRequest::make<WebServerRequest>(info) : nullptr;
        },
        [](const std::shared_ptr<WebServerRequest>&) -> std::shared_ptr<WebServerResponse> {
            auto response = WebServerDataResponse::responseWithText("t");
            response->setLastModifiedDate(foundation::Date{1700000000.0});
            response->setETag("\"tag\"");
            return response;
        });
    start();
    // The date is older than the resource's, so only the tag can tell that it is unchanged.
    auto ask = [&](const std::string& method, const std::string& tag) {
        return parseResponse(exchange(server->port(),
                                      method +
                                          " /dated HTTP/1.1\r\nHost: 127.0.0.1\r\nIf-Modified-Since: Sat, 01 Jan 2000 "
                                          "00:00:00 GMT\r\nIf-None-Match: " +
                                          tag + "\r\n\r\n"))
            .status;
    };
    EXPECT_EQ(ask("GET", "*"), 304);
    EXPECT_EQ(ask("GET", "\"tag\""), 304);
    EXPECT_EQ(ask("HEAD", "*"), 304);
    EXPECT_EQ(ask("POST", "*"), 412);
    EXPECT_EQ(ask("GET", "\"other\""), 200);
}

TEST_F(WebServerTest, TriesTheNewestHandlerFirst) {
    server->addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.method == "GET" ? WebServerRequest::make<WebServerRequest>(info) : nullptr;
        },
        [](const std::shared_ptr<WebServerRequest>&) -> std::shared_ptr<WebServerResponse> {
            return WebServerDataResponse::responseWithText("newest");
        });
    start();
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).body, "newest");
}

TEST_F(WebServerTest, DrainsAnUnreadBodySoTheClientGetsTheAnswer) {
    start();
    int fd = connectTo(server->port());
    std::string body(4 * 1024 * 1024, 'x');
    std::thread writer([&] {
        sendAll(fd, "PUT /nowhere HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + std::to_string(body.size()) +
                        "\r\n\r\n");
        sendAll(fd, body);
    });
    bool reset = false;
    std::string raw = readAll(fd, 10s, &reset);
    writer.join();
    ::close(fd);
    EXPECT_EQ(parseResponse(raw).status, 501);
}

TEST_F(WebServerTest, ClosesAConnectionThatMakesNoProgress) {
    WebServerOptions options = localOptions();
    options.connectionIdleTimeout = 100ms;
    start(options);
    int fd = connectTo(server->port());
    ASSERT_TRUE(sendAll(fd, "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n"));  // and then nothing
    auto started = std::chrono::steady_clock::now();
    std::string raw = readAll(fd, 5s);
    auto waited = std::chrono::steady_clock::now() - started;
    ::close(fd);
    EXPECT_LT(waited, 3s);
    EXPECT_EQ(parseResponse(raw).status, 500);
}

// The upload lasts longer than the idle time-out but is never silent for it. The pace is real time,
// so a busy machine may hold the sender back past the time-out: the sender measures, around each
// pair of sends, the longest the server can have waited, and only an upload cut although that
// never reached the time-out is a fault. An attempt the machine stalled is made again.
TEST_F(WebServerTest, NeverCutsASlowUploadThatKeepsMoving) {
    constexpr auto kIdleTimeout = 300ms;
    WebServerOptions options = localOptions();
    options.connectionIdleTimeout = kIdleTimeout;
    start(options);
    bool answered = false;
    for (int attempt = 0; attempt < 5 && !answered; ++attempt) {
        int fd = connectTo(server->port());
        ASSERT_GE(fd, 0);
        // The server's wait for a byte starts after the previous send began and ends by the time
        // this send returned.
        auto previousSendStarted = std::chrono::steady_clock::now();
        std::chrono::steady_clock::duration longestWait{};
        bool sent = sendAll(fd, "POST /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 8\r\n\r\n");
        for (int i = 0; i < 8 && sent; ++i) {  // 8 x 50 ms: longer than the time-out
            std::this_thread::sleep_for(50ms);
            auto sendStarted = std::chrono::steady_clock::now();
            sent = sendAll(fd, std::string(1, char('0' + i)));
            longestWait = std::max(longestWait, std::chrono::steady_clock::now() - previousSendStarted);
            previousSendStarted = sendStarted;
        }
        auto response = parseResponse(readAll(fd));
        ::close(fd);
        answered = sent && response.status == 200;
        if (answered) {
            EXPECT_EQ(response.body, "01234567");
        } else {
            ASSERT_GE(longestWait, kIdleTimeout) << "cut although bytes kept coming (status " << response.status << ")";
        }
    }
    EXPECT_TRUE(answered) << "every attempt was stalled past the time-out";
}

TEST_F(WebServerTest, CoalescesOverlappingAndCloseConnectionsIntoOneConnectedState) {
    start();
    int first = connectTo(server->port());
    int second = connectTo(server->port());
    sendAll(first, "GET /1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    sendAll(second, "GET /2 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    readAll(first);
    readAll(second);
    ::close(first);
    ::close(second);
    ASSERT_TRUE(server->waitForConnectionsToEnd(10s));
    EXPECT_TRUE(loop.runUntil([&] { return delegate->count("connect") == 1; }));
    loop.runUntilIdle();
    EXPECT_EQ(delegate->count("disconnect"), 0);  // within the coalescing interval
    loop.advanceSeconds(0.5);
    exchange(server->port(), "GET /3 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");  // follows within the interval
    ASSERT_TRUE(server->waitForConnectionsToEnd(10s));
    loop.runUntilIdle();
    loop.advanceSeconds(0.9);
    EXPECT_EQ(delegate->count("disconnect"), 0);
    loop.advanceSeconds(0.2);
    EXPECT_EQ(delegate->count("connect"), 1);
    EXPECT_EQ(delegate->count("disconnect"), 1);
}

TEST_F(WebServerTest, StopReportsAPendingDisconnectionAtOnce) {
    start();
    exchange(server->port(), "GET /1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    ASSERT_TRUE(server->waitForConnectionsToEnd(10s));
    loop.runUntilIdle();
    EXPECT_EQ(delegate->count("disconnect"), 0);
    server->stop();
    EXPECT_TRUE(loop.runUntil([&] { return delegate->count("stop") == 1; }));
    EXPECT_EQ(delegate->count("disconnect"), 1);
    EXPECT_FALSE(server->isRunning());
}

// A connection thread that outlived `stop` went on calling into the server, its queues and its
// delegate while the caller tore them down, and at process exit into destroyed statics.
TEST_F(WebServerTest, StopReturnsOnlyOnceEveryConnectionHasEndedAndLetGoOfTheServer) {
    std::atomic<bool> entered = false;
    WebServer* raw = server.get();
    server->addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.path == "/while-stopping" ? WebServerRequest::make<WebServerRequest>(info) : nullptr;
        },
        [&entered, raw](const std::shared_ptr<WebServerRequest>&) -> std::shared_ptr<WebServerResponse> {
            entered = true;
            // Answers only once `stop` has closed the listening sockets, so it runs during the stop.
            while (raw->port() != 0) std::this_thread::yield();
            return WebServerDataResponse::responseWithText("answered");
        });
    start();
    int fd = connectTo(server->port());
    ASSERT_TRUE(sendAll(fd, "GET /while-stopping HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    while (!entered) std::this_thread::yield();
    server->stop();
    EXPECT_TRUE(server->waitForConnectionsToEnd(0ms));
    EXPECT_EQ(server.use_count(), 1);
    auto response = parseResponse(readAll(fd));
    ::close(fd);
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "answered");
}

TEST_F(WebServerTest, StopCutsOffAConnectionThatOutlastsItsGrace) {
    server->addHandlerWithProcessBlock(
        [](const WebServerRequestInfo& info) -> std::shared_ptr<WebServerRequest> {
            return info.path == "/large" ? WebServerRequest::make<WebServerRequest>(info) : nullptr;
        },
        [](const std::shared_ptr<WebServerRequest>&) -> std::shared_ptr<WebServerResponse> {
            return WebServerDataResponse::responseWithData(std::string(64 * 1024 * 1024, 'x'),
                                                           "application/octet-stream");
        });
    WebServerOptions options = localOptions();
    options.stopGracePeriod = 10ms;
    start(options);
    ASSERT_EQ(server->activeConnectionCount(), 0u);
    int fd = connectTo(server->port());
    // Never read: the answer fills the socket buffers and its writer waits on the client.
    ASSERT_TRUE(sendAll(fd, "GET /large HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    while (server->activeConnectionCount() == 0) std::this_thread::yield();
    server->stop();
    EXPECT_TRUE(server->waitForConnectionsToEnd(0ms));
    EXPECT_EQ(server.use_count(), 1);
    ::close(fd);
}

TEST_F(WebServerTest, StaysClosedWhileInTheBackground) {
    bool background = true;
    server->setApplicationStateProvider([&] { return background; });
    start();
    EXPECT_TRUE(server->isRunning());
    EXPECT_EQ(server->port(), 0);
    EXPECT_FALSE(server->serverURL());
    background = false;
    server->applicationWillEnterForeground();
    ASSERT_NE(server->port(), 0);
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).status, 200);
    ASSERT_TRUE(server->waitForConnectionsToEnd(10s));
    loop.runUntilIdle();
    loop.advanceSeconds(2);  // the connected state ends
    background = true;
    server->applicationDidEnterBackground();
    EXPECT_EQ(server->port(), 0);
    EXPECT_TRUE(server->isRunning());
}

TEST_F(WebServerTest, KeepsServingWhenBonjourIsUnavailable) {
    std::vector<std::string> errors, notes;
    base::ScopedLogSink sink([&](base::LogLevel level, std::string_view, std::string_view message) {
        if (level == base::LogLevel::error) errors.emplace_back(message);
        if (level == base::LogLevel::info && message.starts_with("Bonjour")) notes.emplace_back(message);
    });
    WebServerOptions options = localOptions();
    options.bonjourName = "";
    options.requestNATPortMapping = true;
    start(options);
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).status, 200);
    EXPECT_TRUE(std::any_of(errors.begin(), errors.end(), [](const std::string& line) {
        return line.starts_with("Failed creating NAT port mapping (");
    }));
    // No Avahi daemon runs in the test environment: the announcement fails, and a user is told so
    // once, as a note, not as an error each time the server starts.
    EXPECT_FALSE(std::any_of(errors.begin(), errors.end(),
                             [](const std::string& line) { return line.starts_with("Bonjour registration error "); }));
    EXPECT_FALSE(server->bonjourServerURL());
    EXPECT_FALSE(server->publicServerURL());
    server->stop();
    start(options);
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).status, 200);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("no Avahi daemon"), std::string::npos) << notes[0];
}

}  // namespace
}  // namespace reelhaven

namespace reelhaven {
namespace {

TEST_F(WebServerTest, AsksForBasicCredentials) {
    WebServerOptions options = localOptions();
    options.authenticationMethod = WebServerAuthenticationMethod::basic;
    options.authenticationAccounts = {{"user", "secret"}};
    start(options);
    std::string url = transfer_testing::shellQuote("http://127.0.0.1:" + std::to_string(server->port()) + "/x");
    auto refused = parseResponse(transfer_testing::runCommand("curl -s -i " + url));
    EXPECT_EQ(refused.status, 401);
    EXPECT_EQ(refused.header("www-authenticate"), "Basic realm=\"WebServer\"");
    EXPECT_EQ(parseResponse(transfer_testing::runCommand("curl -s -i -u user:wrong " + url)).status, 401);
    auto accepted = parseResponse(transfer_testing::runCommand("curl -s -i -u user:secret " + url));
    EXPECT_EQ(accepted.status, 200);
    EXPECT_EQ(accepted.body, "path /x");
}

TEST_F(WebServerTest, AsksForDigestCredentials) {
    WebServerOptions options = localOptions();
    options.authenticationMethod = WebServerAuthenticationMethod::digestAccess;
    options.authenticationRealm = "Library";
    options.authenticationAccounts = {{"user", "secret"}};
    start(options);
    std::string url = transfer_testing::shellQuote("http://127.0.0.1:" + std::to_string(server->port()) + "/x");
    auto refused = parseResponse(transfer_testing::runCommand("curl -s -i " + url));
    EXPECT_EQ(refused.status, 401);
    EXPECT_TRUE(refused.header("www-authenticate").starts_with("Digest realm=\"Library\", nonce=\""));
    // curl answers the challenge with a second request; -w reports the final status.
    EXPECT_EQ(transfer_testing::runCommand("curl -s -o /dev/null -w '%{http_code}' --digest -u user:wrong " + url),
              "401");
    EXPECT_EQ(transfer_testing::runCommand("curl -s -w ' %{http_code}' --digest -u user:secret " + url), "path /x 200");
}

}  // namespace
}  // namespace reelhaven

#include <gtest/gtest.h>

#include <any>
#include <filesystem>

#include "platform/dispatch/run_loop.h"
#include "support/temp_dir.h"
#include "transfer/web_server.h"
#include "transfer/web_server_data_response.h"
#include "transfer_test_support.h"

namespace reelhaven {
namespace {

using namespace std::chrono_literals;
using testing_support::writeFile;
using transfer_testing::exchange;
using transfer_testing::parseResponse;
using transfer_testing::runCommand;
using transfer_testing::shellQuote;

class HandlerBuildersTest : public ::testing::Test {
protected:
    void start() {
        WebServerOptions options;
        options.bindToLocalhost = true;
        ASSERT_TRUE(server->startWithOptions(options));
    }
    void TearDown() override {
        server->stop();
        EXPECT_TRUE(server->waitForConnectionsToEnd(10s));
        loop.runUntilIdle();
    }
    transfer_testing::HttpResponse curl(const std::string& arguments) {
        return parseResponse(runCommand("curl -s -S -i " + arguments +
                                        " 'http://127.0.0.1:" + std::to_string(server->port()) + "/file.bin' 2>&1"));
    }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir temp;
    std::shared_ptr<WebServer> server = WebServer::create();
};

TEST_F(HandlerBuildersTest, ServesByteRangesToCurl) {
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes += char('A' + i % 26);
    writeFile(temp / "file.bin", bytes);
    server->addGETHandlerForPathFilePath("/file.bin", (temp / "file.bin").string(), false, 60,
                                         WebServerRanges::allowed);
    start();
    auto last = curl("-r -10");
    EXPECT_EQ(last.status, 206);
    EXPECT_EQ(last.header("content-range"), "bytes 90-99/100");
    EXPECT_EQ(last.header("accept-ranges"), "bytes");
    EXPECT_EQ(last.body, bytes.substr(90));
    EXPECT_EQ(curl("-r 10-19").body, bytes.substr(10, 10));
    EXPECT_EQ(curl("").body, bytes);
    EXPECT_EQ(curl("-r 200-").status, 500);  // nothing of the file is in range
    EXPECT_EQ(curl("-I").header("content-length"), "100");
    // A bound past 64 bits is no range: the header is ignored and the whole file served.
    for (const char* range : {"bytes=99999999999999999999-", "bytes=-99999999999999999999",
                              "bytes=0-99999999999999999999", "bytes=18446744073709551616-18446744073709551617"}) {
        const auto whole = curl("-H " + shellQuote(std::string("Range: ") + range));
        EXPECT_EQ(whole.status, 200) << range;
        EXPECT_EQ(whole.body, bytes) << range;
    }
}

TEST_F(HandlerBuildersTest, IgnoresExactPathsWithoutALeadingSlash) {
    server->addHandlerForMethod("GET", "relative", WebServer::requestFactory<WebServerRequest>(),
                                [](const std::shared_ptr<WebServerRequest>&, WebServerCompletionBlock done) {
                                    done(WebServerDataResponse::responseWithText("x"));
                                });
    EXPECT_TRUE(server->handlers().empty());
}

TEST_F(HandlerBuildersTest, HandsRegexCapturesToTheRequest) {
    std::vector<std::string> captures;
    server->addHandlerForMethodPathRegex(
        "GET", "/items/([0-9]+)", WebServer::requestFactory<WebServerRequest>(),
        [&](const std::shared_ptr<WebServerRequest>& request, WebServerCompletionBlock done) {
            captures =
                std::any_cast<std::vector<std::string>>(*request->attribute("WebServerRequestAttribute_RegexCaptures"));
            done(WebServerDataResponse::responseWithText("ok"));
        });
    server->addHandlerForMethodPathRegex("GET", "(unclosed", WebServer::requestFactory<WebServerRequest>(), {});
    EXPECT_EQ(server->handlers().size(), 1u);
    start();
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /ITEMS/42 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).status, 200);
    EXPECT_EQ(captures, std::vector<std::string>{"42"});
}

TEST_F(HandlerBuildersTest, ListsFoldersUnderABasePath) {
    writeFile(temp / "site/b.txt", "b");
    writeFile(temp / "site/.secret", "s");
    std::filesystem::create_directories(temp / "site/Sub Folder");
    writeFile(temp / "site/Sub Folder/c.txt", "c");
    writeFile(temp / "site/<img src=x onerror=alert(1)>&.txt", "x");
    server->addGETHandlerForBasePath("/static/", (temp / "site").string(), std::nullopt, 10,
                                     WebServerRanges::notAllowed);
    server->addGETHandlerForBasePath("no-slash", (temp / "site").string(), std::nullopt, 10,
                                     WebServerRanges::notAllowed);
    EXPECT_EQ(server->handlers().size(), 1u);
    start();
    auto listing = parseResponse(exchange(server->port(), "GET /static/ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    EXPECT_EQ(listing.status, 200);
    EXPECT_EQ(listing.body,
              "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n<ul>\n"
              "<li><a href=\"%3Cimg%20src=x%20onerror=alert(1)%3E&.txt\">&lt;img src=x "
              "onerror=alert(1)&gt;&amp;.txt</a></li>\n"
              "<li><a href=\"b.txt\">b.txt</a></li>\n<li><a href=\"Sub%20Folder/\">Sub Folder/</a></li>\n"
              "</ul>\n</body></html>\n");
    auto file =
        parseResponse(exchange(server->port(), "GET /static/Sub%20Folder/c.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    EXPECT_EQ(file.body, "c");
    EXPECT_EQ(file.header("cache-control"), "max-age=10, public");
    EXPECT_EQ(parseResponse(exchange(server->port(), "GET /static/missing HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")).status,
              404);
    EXPECT_EQ(
        parseResponse(exchange(server->port(), "GET /static/../../etc/passwd HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"))
            .status,
        404);
}

}  // namespace
}  // namespace reelhaven

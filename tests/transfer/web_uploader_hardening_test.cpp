// What an attack and load run of the upload server found: requests that name another host, names
// the disk holds but a listing could not give back, names at the length limit, error answers.

#include <unistd.h>

#include "web_uploader_test_fixture.h"

namespace reelhaven {
namespace {

TEST_F(WebUploaderTest, ARequestNamingAnotherHostIsRefused) {
    // A page of evil.example that rebinds its name to this machine: Host and Origin agree.
    std::string body = "path=/Taken";
    auto created =
        raw("POST /create HTTP/1.1\r\nHost: evil.example:" + port + "\r\nOrigin: http://evil.example:" + port +
            "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\n\r\n" + body);
    EXPECT_EQ(created.status, 403);
    EXPECT_FALSE(fs::exists(docs / "Taken"));
    writeFile(docs / "a.mp4", "a");
    EXPECT_EQ(raw("GET /list?path=/ HTTP/1.1\r\nHost: evil.example:" + port + "\r\n\r\n").status, 403);
    EXPECT_EQ(raw("GET / HTTP/1.1\r\nHost: evil.example\r\n\r\n").status, 403);
}

TEST_F(WebUploaderTest, RequestsNamingThisMachineAreServed) {
    char name[256] = {};
    ASSERT_EQ(::gethostname(name, sizeof name - 1), 0);
    for (const std::string& host :
         std::vector<std::string>{"127.0.0.1:" + port, "[::1]:" + port, "localhost:" + port, "LOCALHOST.",
                                  std::string(name), std::string(name) + ".local:" + port}) {
        EXPECT_EQ(raw("GET /list?path=/ HTTP/1.1\r\nHost: " + host + "\r\n\r\n").status, 200) << host;
    }
    // No "Host" at all: an HTTP/1.0 tool, not a browser.
    EXPECT_EQ(raw("GET /list?path=/ HTTP/1.0\r\n\r\n").status, 200);
}

}  // namespace
}  // namespace reelhaven

// What a second attack run of the upload server found: forms nested without end, heads over the
// limit, requests that name no host or another host in their target.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "transfer/web_server_process_run.h"
#include "web_uploader_test_fixture.h"

namespace reelhaven {
namespace {

// A POST /upload whose form is `levels` "multipart/mixed" parts, each inside the one before.
std::string nestedUpload(int levels) {
    std::string body;
    for (int level = 0; level < levels; ++level) {
        body += "--b" + std::to_string(level) +
                "\r\nContent-Disposition: form-data; name=\"files[]\"\r\nContent-Type: multipart/mixed; boundary=b" +
                std::to_string(level + 1) + "\r\n\r\n";
    }
    return "POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=b0\r\n"
           "Content-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

TEST_F(WebUploaderTest, AFormNestedDeeperThanOneLevelIsRefusedAndTheServerGoesOn) {
    auto refused = raw(nestedUpload(1000));
    EXPECT_EQ(refused.status, 400) << refused.raw.substr(0, 300);
    EXPECT_NE(refused.body.find("nested too deeply"), std::string::npos) << refused.body;
    auto listing = raw("GET /list?path=/ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(listing.status, 200);
    EXPECT_TRUE(fs::is_empty(docs));
}

TEST_F(WebUploaderTest, SeveralFilesUnderOneFieldStillArrive) {
    std::string body =
        "--b\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\n/\r\n"
        "--b\r\nContent-Disposition: form-data; name=\"files[]\"\r\nContent-Type: multipart/mixed; boundary=in\r\n\r\n"
        "--in\r\nContent-Disposition: file; filename=\"one.mp4\"\r\n\r\nONE\r\n--in--\r\n--b--\r\n";
    auto uploaded =
        raw("POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=b\r\n"
            "Content-Length: " +
            std::to_string(body.size()) + "\r\n\r\n" + body);
    EXPECT_EQ(uploaded.status, 200) << uploaded.raw;
    EXPECT_EQ(readFile(docs / "one.mp4"), "ONE");
}

TEST_F(WebUploaderTest, AHeadOverTheLimitIsAnswered431) {
    auto tooLarge =
        raw("GET /list?path=/ HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Filler: " + std::string(70 * 1024, 'x') + "\r\n\r\n");
    EXPECT_EQ(tooLarge.status, 431) << tooLarge.raw.substr(0, 200);
    EXPECT_EQ(raw("GET /list?path=/ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").status, 200);
}

TEST_F(WebUploaderTest, AHostThatNamesNothingIsRefused) {
    for (const std::string& host : {std::string(""), std::string(" "), ":" + port, std::string("[]")}) {
        EXPECT_EQ(raw("GET /list?path=/ HTTP/1.1\r\nHost:" + host + "\r\n\r\n").status, 403) << host;
    }
}

TEST_F(WebUploaderTest, TheHostOfAnAbsoluteTargetIsHeldToTheSameRule) {
    writeFile(docs / "a.mp4", "a");
    // The target names the host whatever "Host" says, and with no "Host" at all.
    EXPECT_EQ(raw("GET http://evil.example/list?path=/ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").status, 403);
    EXPECT_EQ(raw("GET http://evil.example:" + port + "/list?path=/ HTTP/1.0\r\n\r\n").status, 403);
    EXPECT_EQ(raw("GET http://user@evil.example/list?path=/ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").status, 403);
    auto served = raw("GET http://127.0.0.1:" + port + "/list?path=/ HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(served.status, 200);
    EXPECT_EQ(nlohmann::json::parse(served.body).size(), 1u);
}

TEST_F(WebUploaderTest, StartingSweepsWhatAKilledMoveLeftStagedInTheFolderAndNothingOfTheUsers) {
    pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    std::string dead = std::to_string(gone) + ".7";
    std::string running = WebServerProcessRun::current();
    fs::create_directories(docs / "Show" / "Season");
    writeFile(docs / "Show" / "Season" / (".WebServer-" + dead + "-A1B2C3D4-0000-4000-8000-000000000001"), "cut copy");
    writeFile(docs / (".WebServer-" + dead + "-A1B2C3D4-0000-4000-8000-000000000002") / "inside.mp4", "cut folder");
    writeFile(docs / (".WebServer-" + running + "-A1B2C3D4-0000-4000-8000-000000000004"), "a running move");
    writeFile(docs / "Show" / "keep.mp4", "a video");
    // The user's own items that merely look alike.
    const std::vector<std::string> users = {
        ".WebServer-A1B2C3D4-0000-4000-8000-000000000003",
        ".WebServer-notes.txt",
        ".WebServer-" + std::to_string(gone) + "-A1B2C3D4-0000-4000-8000-000000000005",
        ".WebServer-" + dead + "-my-copy",
        ".WebServer-backup/Season/keep.mp4",
    };
    for (const auto& name : users) writeFile(docs / name, "the user's");
    restart();
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(docs)) {
        if (entry.is_regular_file()) left.push_back(fs::relative(entry.path(), docs).string());
    }
    std::vector<std::string> expected = users;
    expected.push_back(".WebServer-" + running + "-A1B2C3D4-0000-4000-8000-000000000004");
    expected.push_back("Show/keep.mp4");
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace reelhaven

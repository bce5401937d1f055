// What an attack and load run of the upload server found: requests that name another host, names
// the disk holds but a listing could not give back, names at the length limit, error answers.

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "transfer/web_server_utf8.h"
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

// A multipart upload of `content` named `fileName` into `folder`, as raw bytes.
std::string uploadRequest(const std::string& fileName, const std::string& folder, const std::string& content) {
    std::string body = "--b\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\n" + folder +
                       "\r\n--b\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"" + fileName +
                       "\"\r\n\r\n" + content + "\r\n--b--\r\n";
    return "POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=b\r\n"
           "Content-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

TEST_F(WebUploaderTest, EveryListedItemIsReachableByItsListedPathWhateverBytesItsNameHas) {
    std::string file = std::string("bad\xff") + "name.mp4";
    std::string folder = std::string("dir\xfe\xc3");
    writeFile(docs / file, "raw bytes");
    writeFile(docs / folder / "in.mp4", "inside");
    auto list = curl(url("/list?path=/"));
    ASSERT_EQ(list.status, 200);
    auto entries = nlohmann::json::parse(list.body);
    ASSERT_EQ(entries.size(), 2u);
    // Distinct bytes stay distinct (no U+FFFD standing for all of them).
    std::string filePath = entries[0]["path"], folderPath = entries[1]["path"];
    EXPECT_NE(filePath.find("bad"), std::string::npos);
    EXPECT_EQ(list.body.find("\xef\xbf\xbd"), std::string::npos);
    auto encoded = [](const std::string& name, const std::string& value) {
        return "--data-urlencode " + shellQuote(name + "=" + value);
    };
    auto download = curl("-G " + encoded("path", filePath) + " " + url("/download"));
    EXPECT_EQ(download.status, 200);
    EXPECT_EQ(download.body, "raw bytes");
    auto inside = curl("-G " + encoded("path", folderPath) + " " + url("/list"));
    EXPECT_EQ(inside.status, 200);
    auto insideEntries = nlohmann::json::parse(inside.body);
    ASSERT_EQ(insideEntries.size(), 1u);
    EXPECT_EQ(curl("-G " + encoded("path", insideEntries[0]["path"]) + " " + url("/download")).body, "inside");
    auto moved =
        curl(encoded("oldPath", filePath) + " " + encoded("newPath", folderPath + "moved.mp4") + " " + url("/move"));
    EXPECT_EQ(moved.status, 200) << moved.body;
    EXPECT_EQ(readFile(docs / folder / "moved.mp4"), "raw bytes");
    auto deleted = curl(encoded("path", folderPath) + " " + url("/delete"));
    EXPECT_EQ(deleted.status, 200) << deleted.body;
    EXPECT_TRUE(fs::is_empty(docs));
}

TEST_F(WebUploaderTest, FreeNamesForNamesAtTheLengthLimitStillFit) {
    // 255 bytes of two-byte letters and an extension: the number must take the stem's place.
    std::string stem;
    for (int i = 0; i < 124; ++i) stem += "\xc3\xa9";  // é
    std::string name = stem + "abc.mp4";
    ASSERT_EQ(name.size(), 255u);
    EXPECT_EQ(raw(uploadRequest(name, "/", "first")).status, 200);
    auto second = raw(uploadRequest(name, "/", "second"));
    EXPECT_EQ(second.status, 200) << second.body;
    std::string folderName;
    for (int i = 0; i < 127; ++i) folderName += "\xc3\xa9";
    folderName += "x";
    ASSERT_EQ(folderName.size(), 255u);
    for (int i = 0; i < 2; ++i) {
        auto created = curl("--data-urlencode " + shellQuote("path=/" + folderName) + " " + url("/create"));
        EXPECT_EQ(created.status, 200) << created.body;
    }
    writeFile(docs / "other.mp4", "moved");
    auto moved = curl("--data-urlencode oldPath=/other.mp4 --data-urlencode " + shellQuote("newPath=/" + name) + " " +
                      url("/move"));
    EXPECT_EQ(moved.status, 200) << moved.body;
    auto names = namesIn(docs);
    ASSERT_EQ(names.size(), 5u);
    std::vector<std::string> contents;
    for (const auto& each : names) {
        EXPECT_LE(each.size(), 255u);
        EXPECT_TRUE(WebServerIsValidUTF8(each)) << each;
        if (fs::is_regular_file(docs / each)) contents.push_back(readFile(docs / each));
    }
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"first", "moved", "second"}));
    EXPECT_TRUE(fs::exists(docs / name));
    EXPECT_TRUE(fs::is_directory(docs / folderName));
}

TEST_F(WebUploaderTest, ErrorPagesSayWhatHappenedWithoutTheServersPaths) {
    auto badName = raw(uploadRequest("clip\xff.mp4", "/", "x"));
    EXPECT_EQ(badName.status, 400);
    EXPECT_NE(badName.body.find("is not valid UTF-8"), std::string::npos) << badName.raw;
    EXPECT_TRUE(WebServerIsValidUTF8(badName.body));
    // A folder that does not exist fails the move of the upload, as any failed move does.
    auto missing = raw(uploadRequest("clip.mp4", "/nowhere", "x"));
    EXPECT_EQ(missing.status, 500);
    EXPECT_NE(missing.body.find("Failed moving uploaded file to &quot;/nowhere&quot;"), std::string::npos)
        << missing.body;
    EXPECT_NE(missing.body.find(std::strerror(ENOENT)), std::string::npos) << missing.body;
    EXPECT_EQ(missing.body.find(temp.path().string()), std::string::npos) << missing.body;
    EXPECT_EQ(missing.body.find("WebServer-"), std::string::npos) << missing.body;
    EXPECT_TRUE(fs::is_empty(docs));
}

}  // namespace
}  // namespace reelhaven

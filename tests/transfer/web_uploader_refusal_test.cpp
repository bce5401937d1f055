// Requests the uploader refuses: each gets the status that names its fault, before its body can
// fill the disk where the head alone tells, and nothing is left on disk.

#include <unistd.h>
#include <zlib.h>

#include <nlohmann/json.hpp>

#include "transfer/web_server_process_run.h"
#include "transfer/web_server_temporary_file.h"
#include "web_uploader_test_fixture.h"

namespace reelhaven {
namespace {

using transfer_testing::connectTo;
using transfer_testing::readAll;
using transfer_testing::sendAll;

class WebUploaderRefusalTest : public WebUploaderTest {
protected:
    void SetUp() override {
        WebUploaderTest::SetUp();
        docsBefore = snapshot(docs);
    }

    void TearDown() override {
        WebUploaderTest::TearDown();
        EXPECT_EQ(snapshot(docs), docsBefore) << "the folder changed";
        EXPECT_EQ(temporaryFilesOfThisRun(), 0u) << "an upload left a temporary file";
    }

    static std::size_t temporaryFilesOfThisRun() {
        std::string prefix = "WebServer-" + WebServerProcessRun::current() + "-";
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(WebServerTemporaryFile::directory())) {
            if (entry.path().filename().string().starts_with(prefix)) ++count;
        }
        return count;
    }

    // The head of an upload whose body is never sent, and what the server answers to it alone.
    HttpResponse answerToHead(const std::string& extraHeaders) {
        int fd = connectTo(uploader->port());
        EXPECT_GE(fd, 0);
        sendAll(fd, "POST /upload HTTP/1.1\r\n" + extraHeaders +
                        "Content-Type: multipart/form-data; boundary=b\r\nContent-Length: 100000000\r\n\r\n");
        // The server refuses and closes without waiting for the body.
        std::string answer = readAll(fd, 20s);
        ::close(fd);
        return parseResponse(answer);
    }

    std::string uploadFile(const std::string& name, const std::string& content) {
        writeFile(temp / "upload.bin", content);
        return "-F " + shellQuote("files[]=@" + (temp / "upload.bin").string() + ";filename=" + name);
    }

    std::map<std::string, std::uintmax_t> docsBefore;
};

TEST_F(WebUploaderRefusalTest, AnUploadFromAnotherSiteIsRefusedOnItsHeadBeforeItsBody) {
    std::string host = "Host: 127.0.0.1:" + port + "\r\n";
    auto crossSite = answerToHead(host + "Origin: http://evil.example\r\n");
    EXPECT_EQ(crossSite.status, 403);
    auto rebound = answerToHead("Host: evil.example:" + port + "\r\n");
    EXPECT_EQ(rebound.status, 403);
    // The scheme is part of the site: a page served over https under this name is another one.
    auto otherScheme = answerToHead(host + "Origin: https://127.0.0.1:" + port + "\r\n");
    EXPECT_EQ(otherScheme.status, 403);
    auto noScheme = answerToHead(host + "Origin: 127.0.0.1:" + port + "\r\n");
    EXPECT_EQ(noScheme.status, 403);
    // A client asking first is refused instead of being told to send.
    auto asking = answerToHead(host + "Origin: http://evil.example\r\nExpect: 100-continue\r\n");
    EXPECT_EQ(asking.status, 403);
    EXPECT_EQ(asking.raw.find("100 Continue"), std::string::npos);
    // The page's own origin still uploads.
    auto own = curl("-H " + shellQuote("Origin: http://127.0.0.1:" + port) + " " + uploadFile("ok.mp4", "ok") +
                    " -F path=/ " + url("/upload"));
    EXPECT_EQ(own.status, 200);
    EXPECT_EQ(readFile(docs / "ok.mp4"), "ok");
    fs::remove(docs / "ok.mp4");
}

TEST_F(WebUploaderRefusalTest, AGzipBodyThatDecodesFarBeyondItsSizeIsRefused413) {
    // 64 MiB of zeros packs into about 64 KB.
    std::string head =
        "--b\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\n/\r\n"
        "--b\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"bomb.mp4\"\r\n\r\n";
    gzFile out = gzopen((temp / "body.gz").c_str(), "wb9");
    gzwrite(out, head.data(), static_cast<unsigned>(head.size()));
    std::string zeros(1024 * 1024, '\0');
    for (int i = 0; i < 64; ++i) gzwrite(out, zeros.data(), static_cast<unsigned>(zeros.size()));
    std::string tail = "\r\n--b--\r\n";
    gzwrite(out, tail.data(), static_cast<unsigned>(tail.size()));
    gzclose(out);
    ASSERT_LT(fs::file_size(temp / "body.gz"), 1024u * 1024u);
    auto bomb = curl("-H 'Content-Encoding: gzip' -H 'Content-Type: multipart/form-data; boundary=b' --data-binary @" +
                     shellQuote((temp / "body.gz").string()) + " " + url("/upload"));
    EXPECT_EQ(bomb.status, 413) << bomb.raw.substr(0, 300);
    EXPECT_FALSE(fs::exists(docs / "bomb.mp4"));
}

TEST_F(WebUploaderRefusalTest, FormsOverTheirCapAreAnswered413) {
    std::string big(17 * 1024 * 1024, 'x');
    writeFile(temp / "field.txt", "path=" + big);
    auto create = curl("--data-binary @" + shellQuote((temp / "field.txt").string()) + " " + url("/create"));
    EXPECT_EQ(create.status, 413);
    writeFile(temp / "argument.txt", big);
    auto upload = curl(uploadFile("a.mp4", "a") + " -F " + shellQuote("path=<" + (temp / "argument.txt").string()) +
                       " " + url("/upload"));
    EXPECT_EQ(upload.status, 413);
}

TEST_F(WebUploaderRefusalTest, AnUploadThatWouldFillTheDiskIsAnswered507) {
    std::uint64_t kept = WebServerTemporaryFile::minimumFreeSpace();
    WebServerTemporaryFile::setMinimumFreeSpace(UINT64_MAX / 2);  // no disk has that much free
    std::string file = uploadFile("full.mp4", std::string(256 * 1024, 'f'));
    auto known = curl(file + " -F path=/ " + url("/upload"));
    // Without a length the refusal comes from the first write.
    auto chunked = curl("-H 'Transfer-Encoding: chunked' " + file + " -F path=/ " + url("/upload"));
    WebServerTemporaryFile::setMinimumFreeSpace(kept);
    EXPECT_EQ(known.status, 507);
    EXPECT_EQ(chunked.status, 507);
    EXPECT_TRUE(known.raw.starts_with("HTTP/1.1 507 Insufficient Storage\r\n")) << known.raw.substr(0, 40);
    EXPECT_FALSE(fs::exists(docs / "full.mp4"));
}

TEST_F(WebUploaderRefusalTest, ANameTheFileSystemRefusesAsTooLongIsAnswered400) {
    std::string name = std::string(300, 'n') + ".mp4";
    auto upload = curl(uploadFile(name, "long") + " -F path=/ " + url("/upload"));
    EXPECT_EQ(upload.status, 400);
    auto create = curl("--data-urlencode " + shellQuote("path=/" + std::string(300, 'd')) + " " + url("/create"));
    EXPECT_EQ(create.status, 400);
}

TEST_F(WebUploaderTest, EveryListedPathNamesExactlyOneFile) {
    // A name that is not UTF-8, and an uploaded one that really holds the character the first is
    // listed with.
    writeFile(docs /
                  "\x80"
                  "clip.mp4",
              "on disk");
    writeFile(temp / "up.mp4", "uploaded");
    auto upload = curl("-F " +
                       shellQuote("files[]=@" + (temp / "up.mp4").string() +
                                  ";filename=\xEF\x9E\x80"
                                  "clip.mp4") +
                       " -F path=/ " + url("/upload"));
    ASSERT_EQ(upload.status, 200);
    auto entries = nlohmann::json::parse(curl(url("/list?path=/")).body);
    ASSERT_EQ(entries.size(), 2u);
    std::set<std::string> contents;
    std::set<std::string> paths;
    for (const auto& entry : entries) {
        paths.insert(entry["path"].get<std::string>());
        auto download = curl("-G --data-urlencode " + shellQuote("path=" + entry["path"].get<std::string>()) + " " +
                             url("/download"));
        EXPECT_EQ(download.status, 200);
        contents.insert(download.body);
    }
    EXPECT_EQ(paths.size(), 2u);
    EXPECT_EQ(contents, (std::set<std::string>{"on disk", "uploaded"}));
}

TEST_F(WebUploaderTest, ARestartedServerWithTheSameProcessIdSweepsWhatItsEarlierRunLeftStaged) {
    std::string pid = std::to_string(::getpid());
    std::string earlierRun = ".WebServer-" + pid + ".1-A1B2C3D4-0000-4000-8000-000000000001";
    std::string olderBuild = ".WebServer-" + pid + "-A1B2C3D4-0000-4000-8000-000000000002";
    std::string thisRun = ".WebServer-" + WebServerProcessRun::current() + "-A1B2C3D4-0000-4000-8000-000000000003";
    for (const auto& name : {earlierRun, olderBuild, thisRun}) writeFile(docs / name, "copy");
    uploader->stop();
    WebServerOptions options;
    options.bindToLocalhost = true;
    ASSERT_TRUE(uploader->startWithOptions(options));
    port = std::to_string(uploader->port());
    EXPECT_FALSE(fs::exists(docs / earlierRun));
    EXPECT_TRUE(fs::exists(docs / olderBuild)) << "a name without a run is not known to be ours";
    EXPECT_TRUE(fs::exists(docs / thisRun)) << "a move of this run may still finish";
}

}  // namespace
}  // namespace reelhaven

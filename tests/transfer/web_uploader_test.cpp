#include "transfer/web_uploader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/bundle.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "transfer_test_support.h"
#include "web_uploader_test_fixture.h"

namespace reelhaven {
namespace {

TEST_F(WebUploaderTest, IsNotMadeWithoutItsPageBundle) {
    EXPECT_EQ(WebUploader::create(docs.string(), (temp / "missing.bundle").string()), nullptr);
}

TEST_F(WebUploaderTest, IsNotMadeOverARootThatIsNotAnAbsoluteFolder) {
    // A root of "" would turn every client path into one from the process's own folder.
    testing_support::writeFile(temp / "file.txt", "not a folder");
    for (const std::string& root : {std::string(), std::string("."), std::string("Documents"),
                                    (temp / "missing").string(), (temp / "file.txt").string()}) {
        EXPECT_EQ(WebUploader::create(root, bundlePath), nullptr) << "\"" << root << "\"";
    }
    EXPECT_NE(WebUploader::create(docs.string(), bundlePath), nullptr);
}

TEST_F(WebUploaderTest, FootsThePageWithTheBundlesNameAndVersion) {
    foundation::ScopedBundleInfo info(
        foundation::Bundle::InfoDictionary{{"CFBundleName", "Haven"}, {"CFBundleShortVersionString", "2.5"}});
    auto page = curl(url("/"));
    EXPECT_NE(page.body.find("Haven 2.5"), std::string::npos) << page.body;
}

TEST_F(WebUploaderTest, ServesThePageAndItsFiles) {
    auto page = curl(url("/"));
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("content-type"), "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("<title>Reelhaven</title>"), std::string::npos);
    EXPECT_NE(page.body.find("Drag and drop files"), std::string::npos);
    EXPECT_EQ(page.body.find("%prologue%"), std::string::npos);
    EXPECT_EQ(page.body.find("%footer%"), std::string::npos);
    auto script = curl(url("/uploader.js"));
    EXPECT_EQ(script.status, 200);
    EXPECT_EQ(script.header("cache-control"), "max-age=3600, public");
    EXPECT_EQ(script.body, readFile(fs::path(bundlePath) / "uploader.js"));
    EXPECT_EQ(curl(url("/no-such-file.js")).status, 404);
    EXPECT_EQ(curl("--path-as-is " + url("/../../../etc/passwd")).status, 404);
}

TEST_F(WebUploaderTest, ListsAFolderWithoutHiddenItems) {
    writeFile(docs / "a.mp4", "0123456789");
    writeFile(docs / ".hidden", "h");
    fs::create_directory(docs / "Show");
    fs::create_symlink(outside, docs / "escape");
    auto list = curl(url("/list?path=/"));
    EXPECT_EQ(list.status, 200);
    EXPECT_EQ(list.header("content-type"), "application/json");
    EXPECT_EQ(list.body, R"([{"name":"a.mp4","path":"/a.mp4","size":10},{"name":"Show","path":"/Show/"}])");
    EXPECT_EQ(curl(url("/LIST?path=")).body,
              R"([{"name":"a.mp4","path":"a.mp4","size":10},{"name":"Show","path":"Show/"}])");
}

TEST_F(WebUploaderTest, SortsNamesAsAFileBrowserDoes) {
    for (const char* name : {"Episode 10.mkv", "episode 2.mkv", "Episode 1.mkv"}) writeFile(docs / name, "x");
    auto list = curl(url("/list?path=/"));
    EXPECT_LT(list.body.find("Episode 1.mkv"), list.body.find("episode 2.mkv"));
    EXPECT_LT(list.body.find("episode 2.mkv"), list.body.find("Episode 10.mkv"));
}

TEST_F(WebUploaderTest, AnswersListingErrors) {
    writeFile(docs / "a.mp4", "x");
    EXPECT_EQ(curl(url("/list?path=/a.mp4")).status, 400);
    auto missing = curl(url("/list?path=docs/a"));
    EXPECT_EQ(missing.status, 404);
    EXPECT_NE(missing.body.find("&quot;docs/a&quot; does not exist"), std::string::npos);
    EXPECT_EQ(curl(url("/list")).status, 400);
    EXPECT_EQ(curl(url("/list?path=a%00b")).status, 400);  // the pair with a NUL is dropped
}

TEST_F(WebUploaderTest, UploadsWithCurlAndNeverOverwrites) {
    writeFile(temp / "clip.mp4", "first clip bytes");
    std::string form = "-F " + shellQuote("files[]=@" + (temp / "clip.mp4").string()) + " -F path=/ ";
    auto first = curl(form + url("/upload"));
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(first.body, "{}");
    EXPECT_EQ(first.header("content-type"), "text/plain; charset=utf-8");
    writeFile(temp / "clip.mp4", "second");
    auto second = curl(form + "-H 'Accept: application/json' " + url("/upload"));
    EXPECT_EQ(second.header("content-type"), "application/json");
    EXPECT_EQ(readFile(docs / "clip.mp4"), "first clip bytes");
    EXPECT_EQ(readFile(docs / "clip (1).mp4"), "second");
    auto events = waitForEvents(2);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], "upload " + (docs / "clip.mp4").string());
    EXPECT_EQ(events[1], "upload " + (docs / "clip (1).mp4").string());
}

TEST_F(WebUploaderTest, UploadsWithExpectContinueChunkedAndGzipBodies) {
    fs::create_directory(docs / "In");
    // Bytes that hardly compress, as media does: gzip keeps them near their size.
    std::string big(3 * 1024 * 1024 + 7, '\0');
    std::uint32_t state = 12345;
    for (char& c : big) c = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
    writeFile(temp / "big.mkv", big);
    std::string file = shellQuote("files[]=@" + (temp / "big.mkv").string());
    auto expect = curl("-H 'Expect: 100-continue' -F " + file + " -F path=/In " + url("/upload"));
    EXPECT_EQ(expect.status, 200) << expect.raw.substr(0, 300);
    auto chunked = curl("-H 'Transfer-Encoding: chunked' -F " + file + " -F path=/In " + url("/upload"));
    EXPECT_EQ(chunked.status, 200) << chunked.raw.substr(0, 300);

    std::string body =
        "--B0undary\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\n/In\r\n"
        "--B0undary\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"z.mkv\"\r\n"
        "Content-Type: video/x-matroska\r\n\r\n" +
        big + "\r\n--B0undary--\r\n";
    gzFile out = gzopen((temp / "body.gz").c_str(), "wb");
    gzwrite(out, body.data(), static_cast<unsigned>(body.size()));
    gzclose(out);
    auto gzip = curl(
        "-H 'Content-Encoding: gzip' -H 'Content-Type: multipart/form-data; boundary=B0undary' "
        "--data-binary @" +
        shellQuote((temp / "body.gz").string()) + " " + url("/upload"));
    EXPECT_EQ(gzip.status, 200) << gzip.raw.substr(0, 300);
    EXPECT_EQ(readFile(docs / "In/big.mkv"), big);
    EXPECT_EQ(readFile(docs / "In/big (1).mkv"), big);
    EXPECT_EQ(readFile(docs / "In/z.mkv"), big);
}

TEST_F(WebUploaderTest, RefusesUnsafeUploadNames) {
    writeFile(temp / "f.mp4", "x");
    std::string path = (temp / "f.mp4").string();
    auto hidden = curl("-F " + shellQuote("files[]=@" + path + ";filename=.profile") + " -F path=/ " + url("/upload"));
    EXPECT_EQ(hidden.status, 403);
    EXPECT_NE(hidden.body.find("Uploaded file name &quot;.profile&quot; is not allowed"), std::string::npos);
    auto slash =
        curl("-F " + shellQuote("files[]=@" + path + ";filename=../../outside/f.mp4") + " -F path=/ " + url("/upload"));
    EXPECT_EQ(slash.status, 403);
    std::string nul = std::string(
                          "--b\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\n/\r\n"
                          "--b\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"a") +
                      '\0' + "b.mp4\"\r\n\r\nNUL\r\n--b--\r\n";
    auto nulName =
        raw("POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; "
            "boundary=b\r\nContent-Length: " +
            std::to_string(nul.size()) + "\r\n\r\n" + nul);
    EXPECT_EQ(nulName.status, 403);
    // A NUL in the target folder would cut the path short in every system call ("Show" here).
    fs::create_directory(docs / "Show");
    std::string nulFolder = std::string("--b\r\nContent-Disposition: form-data; name=\"path\"\r\n\r\nShow") + '\0' +
                            "x\r\n--b\r\nContent-Disposition: form-data; name=\"files[]\"; filename=\"a.mp4\"\r\n\r\n"
                            "NUL\r\n--b--\r\n";
    auto nulPath =
        raw("POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; "
            "boundary=b\r\nContent-Length: " +
            std::to_string(nulFolder.size()) + "\r\n\r\n" + nulFolder);
    EXPECT_EQ(nulPath.status, 400) << nulPath.raw.substr(0, 300);
    fs::remove(docs / "Show");
    EXPECT_EQ(curl("-F " + shellQuote("files[]=@" + path) + " " + url("/upload")).status, 400);  // no "path"
    EXPECT_EQ(curl("-F path=/ " + url("/upload")).status, 400);                                  // no file
    EXPECT_TRUE(fs::is_empty(docs));
}

TEST_F(WebUploaderTest, CreatesFoldersUnderFreeNames) {
    EXPECT_EQ(curl("-d path=/New " + url("/create")).status, 200);
    EXPECT_EQ(curl("-d path=/New " + url("/create")).status, 200);
    EXPECT_TRUE(fs::is_directory(docs / "New"));
    EXPECT_TRUE(fs::is_directory(docs / "New (1)"));
    auto root = curl("-d path=/ " + url("/create"));
    EXPECT_EQ(root.status, 403);
    EXPECT_NE(root.body.find("Creating directory name &quot;Documents&quot; is not allowed"), std::string::npos);
    EXPECT_EQ(curl("-d path=/.git " + url("/create")).status, 403);
    EXPECT_EQ(curl("-d other=1 " + url("/create")).status, 400);
    // Parents are not made: a failure of the creation, not a refusal.
    auto orphan = curl("-d path=/Missing/New " + url("/create"));
    EXPECT_EQ(orphan.status, 500);
    EXPECT_NE(orphan.body.find("Failed creating directory &quot;/Missing/New&quot;"), std::string::npos);
    EXPECT_FALSE(fs::exists(docs / "Missing"));
    auto events = waitForEvents(2);
    EXPECT_EQ(events[1], "create " + (docs / "New (1)").string());
}

TEST_F(WebUploaderTest, MovesWithoutReplacingAnything) {
    writeFile(docs / "a.mp4", "A");
    writeFile(docs / "b.mp4", "B");
    EXPECT_EQ(curl("-d oldPath=/a.mp4 -d newPath=/b.mp4 " + url("/move")).status, 200);
    EXPECT_EQ(readFile(docs / "b.mp4"), "B");
    EXPECT_EQ(readFile(docs / "b (1).mp4"), "A");
    EXPECT_FALSE(fs::exists(docs / "a.mp4"));
    auto events = waitForEvents(1);
    EXPECT_EQ(events[0], "move " + (docs / "a.mp4").string() + " -> " + (docs / "b (1).mp4").string());
    EXPECT_EQ(curl("-d oldPath=/ -d newPath=/x " + url("/move")).status, 403);
    EXPECT_EQ(curl("-d oldPath=/b.mp4 -d newPath=/ " + url("/move")).status, 403);
    EXPECT_EQ(curl("-d oldPath=/b.mp4 -d newPath=/.b " + url("/move")).status, 403);
    EXPECT_EQ(curl("-d oldPath=/nothing -d newPath=/x " + url("/move")).status, 404);
    auto orphan = curl("-d oldPath=/b.mp4 -d newPath=/Missing/b.mp4 " + url("/move"));
    EXPECT_EQ(orphan.status, 500);
    EXPECT_NE(orphan.body.find("Failed moving &quot;/b.mp4&quot; to &quot;/Missing/b.mp4&quot;"), std::string::npos);
    EXPECT_EQ(readFile(docs / "b.mp4"), "B");
    EXPECT_EQ(curl("-d newPath=/x " + url("/move")).status, 400);
    EXPECT_EQ(curl("-d oldPath=/b.mp4 " + url("/move")).status, 400);
    EXPECT_EQ(readFile(docs / "b.mp4"), "B");
}

TEST_F(WebUploaderTest, AMoveOntoItsOwnNameChangesNothingAndAFolderNeverGoesIntoItself) {
    writeFile(docs / "m1.mp4", "M");
    writeFile(docs / "Show/e1.mkv", "1");
    fs::create_directories(docs / "Show/Sub");
    fs::create_directory_symlink("Show", docs / "Link");
    const auto before = snapshot(docs);
    struct Case {
        const char* oldPath;
        const char* newPath;
        int status;
    };
    const Case cases[] = {
        {"/m1.mp4", "/m1.mp4", 200},  {"m1.mp4", "/./m1.mp4", 200},
        {"/Show", "/Show", 200},      {"/Show/e1.mkv", "/Link/e1.mkv", 200},  // the same entry reached through a link
        {"/Show", "/Show/Show", 400}, {"/Show", "/Show/Sub/Show", 400},
        {"/Show", "/Link/Show", 400}, {"/Show", "/Show/Missing/Show", 400},
    };
    for (const auto& c : cases) {
        auto answer = curl(std::string("--data-urlencode oldPath=") + c.oldPath +
                           " --data-urlencode newPath=" + c.newPath + " " + url("/move"));
        EXPECT_EQ(answer.status, c.status) << c.oldPath << " -> " << c.newPath << ": " << answer.body;
        EXPECT_EQ(snapshot(docs), before) << c.oldPath << " -> " << c.newPath;
    }
    EXPECT_NE(curl("-d oldPath=/Show -d newPath=/Show/Show " + url("/move"))
                  .body.find("Moving &quot;/Show&quot; into itself is not possible"),
              std::string::npos);

    // A link to the folder is an item of its own and moves as one; the delegate hears of that
    // move alone.
    EXPECT_EQ(curl("-d oldPath=/Link -d newPath=/Show/Link " + url("/move")).status, 200);
    EXPECT_TRUE(fs::is_symlink(docs / "Show/Link"));
    EXPECT_EQ(waitForEvents(1),
              std::vector<std::string>{"move " + (docs / "Link").string() + " -> " + (docs / "Show/Link").string()});
}

// Removes the item as the move is about to happen: what a delete from another request or another
// program does between the move's check and its rename.
class SourceVanishingUploader : public WebUploader {
public:
    static std::shared_ptr<WebUploader> make(const std::string& folder, const std::string& bundlePath) {
        return createWith(folder, bundlePath, [](const std::string& root, WebUploaderBundle bundle) {
            return std::shared_ptr<WebUploader>(new SourceVanishingUploader(root, std::move(bundle)));
        });
    }

protected:
    using WebUploader::WebUploader;
    bool shouldMoveItem(const std::string& fromPath, const std::string&) override {
        fs::remove_all(fromPath);
        return true;
    }
};

TEST_F(WebUploaderTest, AnItemDeletedWhileItIsMovedIsReportedMissing) {
    uploader->stop();
    ASSERT_TRUE(uploader->waitForConnectionsToEnd(10s));
    uploader = SourceVanishingUploader::make(docs.string(), bundlePath);
    ASSERT_NE(uploader, nullptr);
    uploader->setDelegate(delegate);
    restart();
    writeFile(docs / "a.mp4", "A");
    writeFile(docs / "Show/e1.mkv", "1");
    for (std::string item : {"a.mp4", "Show"}) {
        auto answer = curl("-d oldPath=/" + item + " -d newPath=/Moved " + url("/move"));
        EXPECT_EQ(answer.status, 404) << item << ": " << answer.body;
        EXPECT_NE(answer.body.find("&quot;/" + item + "&quot; does not exist"), std::string::npos) << answer.body;
    }
    EXPECT_TRUE(namesIn(docs).empty());
    // Nothing moved: the delegate hears only of the folder made after.
    EXPECT_EQ(curl("-d path=/New " + url("/create")).status, 200);
    EXPECT_EQ(waitForEvents(1), std::vector<std::string>{"create " + (docs / "New").string()});
}

TEST_F(WebUploaderTest, DeletesItemsButNeverTheFolderItself) {
    writeFile(docs / "Show/e1.mkv", "1");
    writeFile(docs / "a.mp4", "A");
    EXPECT_EQ(curl("-d path=/Show " + url("/delete")).status, 200);
    EXPECT_FALSE(fs::exists(docs / "Show"));
    auto root = curl("-d path=/ " + url("/delete"));
    EXPECT_EQ(root.status, 403);
    EXPECT_NE(root.body.find("Deleting item name &quot;Documents&quot; is not allowed"), std::string::npos);
    EXPECT_EQ(curl("-d path=../.. " + url("/delete")).status, 403);  // cleans to the folder itself
    EXPECT_TRUE(fs::exists(docs / "a.mp4"));
    EXPECT_EQ(waitForEvents(1)[0], "delete " + (docs / "Show").string());
}

TEST_F(WebUploaderTest, NeverReachesOutsideTheFolder) {
    writeFile(docs / "inside.mp4", "in");
    fs::create_symlink(outside, docs / "escape");
    fs::create_symlink(outside / "secret.txt", docs / "secret.txt");
    auto before = snapshot(docs);
    // Raw requests, so no client normalises the paths first.
    for (std::string target :
         {"/download?path=../outside/secret.txt", "/download?path=..%2Foutside%2Fsecret.txt",
          "/download?path=%2F..%2F..%2Foutside%2Fsecret.txt", "/download?path=/etc/passwd",
          "/download?path=escape/secret.txt", "/download?path=secret.txt", "/list?path=escape", "/list?path=../outside",
          "/download?path=inside.mp4%00.txt", "/download%00?path=inside.mp4"}) {
        auto response = raw("GET " + target + " HTTP/1.1\r\nHost: localhost\r\n\r\n");
        EXPECT_TRUE(response.status == 404 || response.status == 400 || response.status == 500)
            << target << " answered " << response.status;
        EXPECT_EQ(response.body.find("TOP-SECRET"), std::string::npos) << target;
    }
    for (std::string form : {"path=escape/secret.txt", "path=..%2Foutside%2Fsecret.txt", "path=secret.txt/x"}) {
        auto response =
            raw("POST /delete HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                "Content-Length: " +
                std::to_string(form.size()) + "\r\n\r\n" + form);
        EXPECT_NE(response.status, 200) << form;
    }
    EXPECT_EQ(curl("-d path=escape/New " + url("/create")).status, 403);
    EXPECT_NE(curl("-d oldPath=inside.mp4 -d newPath=escape/inside.mp4 " + url("/move")).status, 200);
    writeFile(temp / "f.mp4", "x");
    EXPECT_EQ(
        curl("-F " + shellQuote("files[]=@" + (temp / "f.mp4").string()) + " -F path=escape " + url("/upload")).status,
        404);
    // ".." that stays inside is fine: it is cleaned away.
    EXPECT_EQ(curl(url("/download?path=../../inside.mp4")).body, "in");
    EXPECT_EQ(snapshot(docs), before);
}

TEST_F(WebUploaderTest, RefusesChangesSentByAnotherSitesPage) {
    writeFile(docs / "a.mp4", "A");
    // What a page elsewhere makes a visitor's browser send: its own origin, our host.
    auto forged = curl("-H 'Origin: http://evil.example' -d path=/a.mp4 " + url("/delete"));
    EXPECT_EQ(forged.status, 403);
    EXPECT_EQ(curl("-H 'Origin: null' -d path=/New " + url("/create")).status, 403);
    EXPECT_TRUE(fs::exists(docs / "a.mp4"));
    EXPECT_FALSE(fs::exists(docs / "New"));
    // Our own page (same origin) and clients that send no origin are served.
    EXPECT_EQ(curl("-H 'Origin: http://127.0.0.1:" + port + "' -d path=/New " + url("/create")).status, 200);
    EXPECT_EQ(curl("-d path=/a.mp4 " + url("/delete")).status, 200);
    EXPECT_EQ(waitForEvents(2).size(), 2u);
}

TEST_F(WebUploaderTest, TellsTheDelegateOnlyOfDownloadsItServes) {
    writeFile(docs / "inside.mp4", "in");
    fs::create_symlink(docs / "inside.mp4", docs / "alias.mp4");  // inside, yet no file it sends
    EXPECT_EQ(curl(url("/download?path=alias.mp4")).status, 500);
    EXPECT_EQ(curl(url("/download?path=inside.mp4")).body, "in");
    EXPECT_EQ(waitForEvents(1), std::vector<std::string>{"download " + (docs / "inside.mp4").string()});
}

TEST_F(WebUploaderTest, DownloadsAsAnAttachmentWithHeadAndConditionalRequests) {
    std::string bytes(100000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7);
    writeFile(docs / "movie.mp4", bytes);
    // A modification time with a fraction of a second: If-Modified-Since compares whole seconds.
    timespec times[2] = {{1700000000, 600000000}, {1700000000, 600000000}};
    utimensat(AT_FDCWD, (docs / "movie.mp4").c_str(), times, 0);
    auto download = curl(url("/download?path=/movie.mp4"));
    EXPECT_EQ(download.status, 200);
    EXPECT_EQ(download.body, bytes);
    EXPECT_EQ(download.header("content-type"), "video/mp4");
    EXPECT_EQ(download.header("content-disposition"), "attachment; filename=\"movie.mp4\"; filename*=UTF-8''movie.mp4");
    EXPECT_EQ(download.header("last-modified"), "Tue, 14 Nov 2023 22:13:20 GMT");
    auto head = curl("-I " + url("/download?path=/movie.mp4"));
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("content-length"), "100000");
    EXPECT_EQ(head.body, "");
    auto sinceSame = curl("-H 'If-Modified-Since: Tue, 14 Nov 2023 22:13:20 GMT' " + url("/download?path=/movie.mp4"));
    EXPECT_EQ(sinceSame.status, 304);
    auto sinceEarlier =
        curl("-H 'If-Modified-Since: Tue, 14 Nov 2023 22:13:19 GMT' " + url("/download?path=/movie.mp4"));
    EXPECT_EQ(sinceEarlier.status, 200);
    auto etag =
        curl("-H " + shellQuote("If-None-Match: " + download.header("etag")) + " " + url("/download?path=/movie.mp4"));
    EXPECT_EQ(etag.status, 304);
    EXPECT_EQ(curl(url("/download?path=/")).status, 400);
    auto events = waitForEvents(1);
    EXPECT_EQ(events[0], "download " + (docs / "movie.mp4").string());
}

TEST_F(WebUploaderTest, KeepsLineBreaksOutOfTheDispositionHeader) {
    writeFile(docs / "a\r\nSet-Cookie: x=1\".mp4", "x");
    auto response = raw("GET /download?path=a%0D%0ASet-Cookie%3A%20x%3D1%22.mp4 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(response.status, 200);
    EXPECT_FALSE(response.has("set-cookie"));
    EXPECT_EQ(response.header("content-disposition"),
              "attachment; filename=\"a__Set-Cookie: x=1.mp4\"; filename*=UTF-8''a%0D%0ASet-Cookie%3A%20x%3D1%22.mp4");
}

TEST_F(WebUploaderTest, AnswersOtherMethodsAndRoutesWith501) {
    EXPECT_EQ(curl("-X PUT " + url("/upload")).status, 501);
    EXPECT_EQ(curl("-X DELETE " + url("/a.mp4")).status, 501);
    EXPECT_EQ(curl("-d x=1 " + url("/other")).status, 501);
}

}  // namespace
}  // namespace reelhaven

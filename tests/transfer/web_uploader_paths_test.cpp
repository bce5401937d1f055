// How every route reads the paths and names a client sends: a hidden folder hides all it holds,
// and a name means the same item whichever route it is sent to.

#include <nlohmann/json.hpp>

#include "web_uploader_test_fixture.h"

namespace reelhaven {
namespace {

std::string encoded(const std::string& name, const std::string& value) {
    return "--data-urlencode " + shellQuote(name + "=" + value);
}

TEST_F(WebUploaderTest, EveryRouteRefusesAPathThroughAHiddenFolder) {
    writeFile(docs / ".private" / "top.mp4", "private");
    writeFile(docs / ".private" / "Sub" / "deep.mp4", "deeper");
    writeFile(docs / "Show" / ".extras" / "bonus.mp4", "bonus");
    writeFile(docs / "plain.mp4", "plain");
    fs::create_directory_symlink(".private", docs / "shortcut");
    writeFile(temp / "upload.mp4", "uploaded");
    std::string file = "-F " + shellQuote("files[]=@" + (temp / "upload.mp4").string());
    struct Case {
        const char* what;
        std::string arguments;
    };
    const std::vector<Case> cases = {
        {"list a hidden folder", "-G " + encoded("path", "/.private") + " " + url("/list")},
        {"list inside a hidden folder", "-G " + encoded("path", "/.private/Sub") + " " + url("/list")},
        {"list a hidden folder deeper down", "-G " + encoded("path", "/Show/.extras") + " " + url("/list")},
        {"list through a link to a hidden folder", "-G " + encoded("path", "/shortcut") + " " + url("/list")},
        {"download from a hidden folder", "-G " + encoded("path", "/.private/top.mp4") + " " + url("/download")},
        {"download deep inside", "-G " + encoded("path", "/.private/Sub/deep.mp4") + " " + url("/download")},
        {"download through a link", "-G " + encoded("path", "/shortcut/top.mp4") + " " + url("/download")},
        {"upload into a hidden folder", file + " -F path=/.private " + url("/upload")},
        {"upload inside a hidden folder", file + " -F path=/.private/Sub " + url("/upload")},
        {"move out of a hidden folder",
         encoded("oldPath", "/.private/top.mp4") + " " + encoded("newPath", "/top.mp4") + " " + url("/move")},
        {"move a hidden folder",
         encoded("oldPath", "/.private") + " " + encoded("newPath", "/Open") + " " + url("/move")},
        {"move into a hidden folder",
         encoded("oldPath", "/plain.mp4") + " " + encoded("newPath", "/.private/Sub/plain.mp4") + " " + url("/move")},
        {"delete inside a hidden folder", encoded("path", "/.private/top.mp4") + " " + url("/delete")},
        {"delete a folder inside a hidden one", encoded("path", "/.private/Sub") + " " + url("/delete")},
        {"delete through a link", encoded("path", "/shortcut/top.mp4") + " " + url("/delete")},
        {"create inside a hidden folder", encoded("path", "/.private/New") + " " + url("/create")},
        {"create inside a hidden folder deeper down", encoded("path", "/Show/.extras/New") + " " + url("/create")},
    };
    auto before = snapshot(docs);
    for (const auto& each : cases) {
        auto response = curl(each.arguments);
        EXPECT_EQ(response.status, 403) << each.what << "\n" << response.body;
    }
    EXPECT_EQ(snapshot(docs), before);
    loop.runUntilIdle();
    EXPECT_EQ(delegate->events, std::vector<std::string>{});
    // The plainly named items stay reachable.
    EXPECT_EQ(curl("-G " + encoded("path", "/Show") + " " + url("/list")).status, 200);
    EXPECT_EQ(curl("-G " + encoded("path", "/plain.mp4") + " " + url("/download")).body, "plain");
}

TEST_F(WebUploaderTest, HiddenFoldersAreServedWhenHiddenItemsAreAllowed) {
    restart([this] { uploader->allowHiddenItems = true; });
    writeFile(docs / ".private" / "top.mp4", "private");
    EXPECT_EQ(curl("-G " + encoded("path", "/.private/top.mp4") + " " + url("/download")).body, "private");
}

// A name that holds U+F780, the character a listing writes for the byte 0x80 of a name that is
// not UTF-8.
const std::string kEscapedByte = "\xEF\x9E\x80";
const std::string kByte = "\x80";

TEST_F(WebUploaderTest, ANameMeansOneItemOnEveryRoute) {
    const std::string sent = kEscapedByte + "clip.mp4";
    writeFile(temp / "first.mp4", "first");
    writeFile(temp / "second.mp4", "second");
    auto upload = [&](const std::string& file) {
        return curl("-F " + shellQuote("files[]=@" + (temp / file).string() + ";filename=" + sent) + " -F path=/ " +
                    url("/upload"));
    };
    ASSERT_EQ(upload("first.mp4").status, 200);
    EXPECT_EQ(namesIn(docs), std::vector<std::string>{kByte + "clip.mp4"});
    // The listing gives the name back as it was sent, and every route takes it for that item.
    auto listing = nlohmann::json::parse(curl(url("/list?path=/")).body);
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0]["name"], sent);
    EXPECT_EQ(curl("-G " + encoded("path", "/" + sent) + " " + url("/download")).body, "first");
    // The same name again is the same item again: each new one gets the next free name.
    ASSERT_EQ(upload("second.mp4").status, 200);
    ASSERT_EQ(curl(encoded("path", "/" + sent) + " " + url("/create")).status, 200);
    writeFile(docs / "other.mp4", "other");
    auto move = curl(encoded("oldPath", "/other.mp4") + " " + encoded("newPath", "/" + sent) + " " + url("/move"));
    ASSERT_EQ(move.status, 200);
    EXPECT_EQ(namesIn(docs), (std::vector<std::string>{kByte + "clip (1).mp4", kByte + "clip (2).mp4",
                                                       kByte + "clip (3).mp4", kByte + "clip.mp4"}));
    EXPECT_EQ(readFile(docs / (kByte + "clip.mp4")), "first");
    EXPECT_EQ(readFile(docs / (kByte + "clip (1).mp4")), "second");
    EXPECT_TRUE(fs::is_directory(docs / (kByte + "clip (2).mp4")));
    EXPECT_EQ(readFile(docs / (kByte + "clip (3).mp4")), "other");
}

}  // namespace
}  // namespace reelhaven

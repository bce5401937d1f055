// Local items the host hands to the app, as a path or as a "file:" URL: a file plays where it
// lies, a copy joins the library, and what is no file is refused with nothing moved or copied.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "in_process_host.h"
#include "playback/model/playback_info.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::testMedia;
using testing_support::writeFile;

class AppHostOpenTest : public ::testing::Test, protected InProcessHost<dispatch::ScopedMainRunLoop> {
protected:
    void TearDown() override { shutDown(); }

    // Every name under Documents, at any depth.
    std::vector<std::string> documentsTree() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(documents))
            names.push_back(fs::relative(entry.path(), documents).string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string fileURL(const fs::path& path) { return foundation::URL::fileURLWithPath(path.string()).absoluteString(); }

TEST_F(AppHostOpenTest, AFileNamedByAFileURLPlaysWhereItLies) {
    const auto outside = dir / "outside" / "My Notes.mp4";
    fs::create_directories(outside.parent_path());
    fs::copy_file(testMedia("wide.mp4"), outside);
    ASSERT_TRUE(launch()) << err.str();
    const auto before = documentsTree();
    ASSERT_TRUE(command("open \"" + fileURL(outside) + "\""));
    ASSERT_TRUE(player());
    EXPECT_EQ(player()->playbackInfo()->url().path(), outside.string());
    EXPECT_TRUE(player()->playbackInfo()->isSecurityScoped());
    EXPECT_EQ(fs::file_size(outside), fs::file_size(testMedia("wide.mp4"))) << "the original stays";
    EXPECT_EQ(documentsTree(), before);
}

// A folder, a pipe, a device or a file of the system's /proc is no file to play: as a path or as
// a URL, the command fails and says what it is; nothing is moved, copied or removed.
TEST_F(AppHostOpenTest, WhatIsNoFileIsRefusedAndNothingMoves) {
    writeFile(dir / "Films" / "Inner" / "a.mp4", "a");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp4").c_str(), 0644), 0);
    fs::create_symlink("/proc/self/environ", dir / "environ.mp4");
    const std::pair<std::string, std::string> cases[] = {
        {(dir / "Films").string(), "it is a folder, not a file"},
        {fileURL(dir / "Films"), "it is a folder, not a file"},
        {(dir / "pipe.mp4").string(), "it is a FIFO (a named pipe), not a file"},
        {fileURL(dir / "pipe.mp4"), "it is a FIFO (a named pipe), not a file"},
        {"/dev/zero", "it is a device, not a file"},
        {"file:///dev/zero", "it is a device, not a file"},
        {"/proc/self/environ", "it is one of the system's files (/proc, /sys), not a file to play"},
        {"file:///proc/self/environ", "it is one of the system's files (/proc, /sys), not a file to play"},
        {(dir / "environ.mp4").string(), "it is one of the system's files (/proc, /sys), not a file to play"},
        {fileURL(dir / "gone.mp4"), "no such file"},
    };
    ASSERT_TRUE(launch()) << err.str();
    const auto before = documentsTree();
    for (const auto& [given, problem] : cases) {
        err.str({});
        EXPECT_EQ(run("open \"" + given + "\""), Outcome::failed) << given;
        EXPECT_NE(err.str().find("reelhaven: cannot open " + given + ": " + problem + "\n"), std::string::npos)
            << given << ": " << err.str();
        EXPECT_FALSE(player()) << given;
        EXPECT_EQ(documentsTree(), before) << given;
    }
    EXPECT_EQ(readFile(dir / "Films" / "Inner" / "a.mp4"), "a");
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.mp4"));
}

// A link handed over as a copy brings in the file it leads to, not a link leading out of the
// library.
TEST_F(AppHostOpenTest, ALinkHandedOverAsACopyBringsInItsFile) {
    const auto file = dir / "real" / "Clip.mp4";
    fs::create_directories(file.parent_path());
    fs::copy_file(testMedia("wide.mp4"), file);
    fs::create_symlink(fs::path("real") / "Clip.mp4", dir / "Linked.mp4");
    LauncherOptions options;
    options.imports = {(dir / "Linked.mp4").string()};
    ASSERT_TRUE(launch(options)) << err.str();
    ASSERT_TRUE(player());
    EXPECT_EQ(player()->playbackInfo()->url().path(), (documents / "Linked.mp4").string());
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(documents / "Linked.mp4")));
    EXPECT_EQ(fs::file_size(documents / "Linked.mp4"), fs::file_size(file));
    EXPECT_TRUE(fs::exists(file));
}

}  // namespace
}  // namespace reelhaven

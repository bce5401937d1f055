// Items handed in from outside, opened once: what they are, read from the descriptor, and a copy
// made from that same descriptor whatever the name leads to by then.

#include "platform/foundation/opened_file.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/foundation/file_descriptor.h"
#include "support/temp_dir.h"

namespace foundation {
namespace {

namespace fs = std::filesystem;
using Kind = OpenedFile::Kind;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

TEST(OpenedFileTest, KindsAreReadFromWhatWasOpenedFollowingLinks) {
    TempDir dir;
    writeFile(dir / "clip.mp4", "clip");
    fs::create_directories(dir / "Films");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp4").c_str(), 0600), 0);
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir / "socket.mp4").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size());
    ASSERT_EQ(::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink(dir / "clip.mp4", dir / "link.mp4");
    fs::create_symlink("/proc/self/environ", dir / "environ.mp4");
    fs::create_symlink(dir / "gone.mp4", dir / "dangling.mp4");

    const std::pair<std::string, Kind> cases[] = {
        {(dir / "clip.mp4").string(), Kind::regularFile},
        {(dir / "link.mp4").string(), Kind::regularFile},
        {(dir / "Films").string(), Kind::folder},
        {(dir / "pipe.mp4").string(), Kind::fifo},  // opened without waiting for a writer
        {socketPath, Kind::socket},
        {"/dev/null", Kind::device},
        {"/proc/self/environ", Kind::systemFile},
        {(dir / "environ.mp4").string(), Kind::systemFile},
        {"/sys/kernel/mm/transparent_hugepage/enabled", Kind::systemFile},
        {(dir / "gone.mp4").string(), Kind::missing},
        {(dir / "dangling.mp4").string(), Kind::missing},
        {"", Kind::missing},
    };
    for (const auto& [path, kind] : cases) {
        if (path.starts_with("/sys/") && !fs::exists(path)) continue;
        EXPECT_EQ(OpenedFile::open(path).kind(), kind) << path;
    }
    // Only a regular file is copied.
    EXPECT_FALSE(OpenedFile::open("/proc/self/environ").copyTo(URL::fileURLWithPath((dir / "copy").string())));
    EXPECT_FALSE(fs::exists(dir / "copy"));
}

// The copy is of the file that was opened, even once its name leads elsewhere; it never replaces
// an existing file, and it starts at the beginning however often it is made.
TEST(OpenedFileTest, ACopyIsOfWhatWasOpenedAndNeverReplacesAFile) {
    TempDir dir;
    writeFile(dir / "clip.mp4", "the clip");
    writeFile(dir / "other.mp4", "something else");
    fs::create_symlink(dir / "clip.mp4", dir / "link.mp4");
    const auto opened = OpenedFile::open((dir / "link.mp4").string());
    ASSERT_EQ(opened.kind(), Kind::regularFile);
    fs::remove(dir / "link.mp4");
    fs::create_symlink("/proc/self/environ", dir / "link.mp4");
    fs::rename(dir / "other.mp4", dir / "clip.mp4");

    ASSERT_TRUE(opened.copyTo(URL::fileURLWithPath((dir / "first.mp4").string())));
    ASSERT_TRUE(opened.copyTo(URL::fileURLWithPath((dir / "second.mp4").string())));
    EXPECT_EQ(readFile(dir / "first.mp4"), "the clip");
    EXPECT_EQ(readFile(dir / "second.mp4"), "the clip");
    const auto taken = opened.copyTo(URL::fileURLWithPath((dir / "clip.mp4").string()));
    ASSERT_FALSE(taken);
    EXPECT_TRUE(taken.error().isPOSIX(EEXIST)) << taken.error().description;
    EXPECT_EQ(readFile(dir / "clip.mp4"), "something else");
}

}  // namespace
}  // namespace foundation

#include "transfer/web_uploader_file_system.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <set>
#include <sstream>

#include "platform/foundation/uuid.h"
#include "support/temp_dir.h"
#include "transfer/web_server_process_run.h"
#include "transfer/web_server_temporary_file.h"
#include "transfer/web_uploader_names.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::writeFile;

// A folder on another filesystem than the test's temporary folders (tmpfs), removed at the end.
class OtherFileSystemDir {
public:
    OtherFileSystemDir() : m_path(fs::path("/dev/shm") / ("reelhaven-" + foundation::UUID::random().uuidString())) {
        std::error_code error;
        fs::create_directory(m_path, error);
    }
    ~OtherFileSystemDir() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

dev_t deviceOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_dev : 0;
}

TEST(WebUploaderFileSystem, AMoveAcrossFileSystemsShowsTheFinalNameOnlyOnceWhole) {
    testing_support::TempDir temp;
    OtherFileSystemDir other;
    if (!fs::is_directory(other.path()) || deviceOf(other.path()) == deviceOf(temp.path()))
        GTEST_SKIP() << "no second filesystem at /dev/shm";
    std::string bytes(3 * 1024 * 1024 + 17, 'v');
    writeFile(other.path() / "upload", bytes);
    writeFile(temp / "clip.mp4", "already here");
    int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, temp.path().c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO), 0);

    auto moved =
        WebUploaderFileSystem::moveToUniquePath((other.path() / "upload").string(), (temp / "clip.mp4").string());

    ASSERT_TRUE(moved) << moved.error().description;
    EXPECT_EQ(moved.value(), (temp / "clip (1).mp4").string());
    EXPECT_EQ(readFile(temp / "clip (1).mp4"), bytes);
    EXPECT_EQ(readFile(temp / "clip.mp4"), "already here");
    EXPECT_FALSE(fs::exists(other.path() / "upload"));
    // The final name appeared by a rename only: nothing ever wrote into it.
    std::vector<std::string> seen;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t length; (length = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + length;) {
            auto* event = reinterpret_cast<inotify_event*>(at);
            std::string name = event->len > 0 ? event->name : "";
            if (name == "clip (1).mp4") seen.push_back(event->mask & IN_MOVED_TO ? "moved in" : "written");
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    EXPECT_EQ(seen, std::vector<std::string>{"moved in"});
    // And the staging copy is gone.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"clip (1).mp4", "clip.mp4"}));
}

// The start time of a running process as its stat file gives it.
std::string startTimeOf(pid_t pid) {
    std::string text = readFile("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    std::string field;
    for (int index = 3; index <= 22; ++index) fields >> field;
    return field;
}

TEST(WebServerTemporaryFile, CleaningUpTakesOnlyFilesNoRunningUploadOwns) {
    testing_support::TempDir temp;
    pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    std::string running = std::to_string(::getppid()) + "." + startTimeOf(::getppid());
    std::string earlierRun = std::to_string(::getpid()) + ".1";
    writeFile(temp / ("WebServer-" + std::to_string(gone) + ".5-aaaaaa"), "killed mid-upload");
    writeFile(temp / ("WebServer-" + earlierRun + "-dddddd"), "an earlier run with this id");
    writeFile(temp / ("WebServer-" + running + "-cccccc"), "another server's upload");
    // The folder may be a shared one: names this program does not make belong to someone else.
    const std::vector<std::string> others = {"WebServer-bbbbbb", "WebServer-" + std::to_string(gone) + "-eeeeee",
                                             "WebServer-" + std::to_string(gone) + ".5-notes.txt", "other.txt"};
    for (const auto& name : others) writeFile(temp / name, "not ours");
    EXPECT_EQ(WebServerTemporaryFile::removeStale(temp.path().string()), 2u);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp.path())) names.push_back(entry.path().filename().string());
    std::vector<std::string> expected = others;
    expected.push_back("WebServer-" + running + "-cccccc");
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

TEST(WebServerProcessRun, TellsThisRunFromAnEarlierOneWithTheSameProcessId) {
    using Owner = WebServerProcessRun::Owner;
    std::string self = std::to_string(::getpid());
    std::string parent = std::to_string(::getppid());
    EXPECT_EQ(WebServerProcessRun::current(), self + "." + startTimeOf(::getpid()));
    struct Case {
        std::string name;
        std::optional<Owner> owner;  // nothing: the name does not begin with a run
    };
    const std::vector<Case> cases = {
        {WebServerProcessRun::current() + "-x", Owner::thisRun},
        {self + ".1-x", Owner::ended},  // an earlier run that had this id
        {parent + "." + startTimeOf(::getppid()) + "-x", Owner::otherLiveRun},
        {parent + ".1-x", Owner::ended},  // the id was reused by another process
        {self + "-x", std::nullopt},      // a process id alone is no run
        {parent + "-x", std::nullopt},
        {"x-1", std::nullopt},
        {"notes", std::nullopt},
        {self + ".-x", std::nullopt},
        {self + ".1x-x", std::nullopt},
        {self, std::nullopt},
        {"0.1-x", std::nullopt},
    };
    for (const auto& each : cases) {
        auto named = WebServerProcessRun::ownerOf(each.name);
        EXPECT_EQ(named ? std::optional<Owner>(named->owner) : std::nullopt, each.owner) << each.name;
        if (named) {
            EXPECT_EQ(named->rest, "x") << each.name;
        }
    }
}

TEST(WebUploaderNames, ListsEveryNameUnderItsOwnPathAndReadsItBack) {
    const std::vector<std::string> names = {
        "plain.mp4",
        "caf\xC3\xA9.mp4",
        "\x80"
        "clip.mp4",
        "\xEF\x9E\x80"
        "clip.mp4",
        "\xEF\x9F\xBF",
        "\xEF\x9E",
        "a\xFF\xFE"
        "b",
        "\xEF\xBF\xBD",
        "\xEF\x9D\xBF"
        "x",
    };
    std::set<std::string> listed;
    for (const auto& name : names) {
        std::string shown = WebUploaderNames::listed(name);
        EXPECT_TRUE(listed.insert(shown).second) << "two names listed as " << shown;
        EXPECT_EQ(WebUploaderNames::unescaped(shown).value_or(shown), name);
    }
}

}  // namespace
}  // namespace reelhaven

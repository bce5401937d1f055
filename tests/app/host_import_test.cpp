// Files brought into the library from outside through the launcher, as another app's "copy to"
// (`--import`) and through the file picker (a script's `pick`): what arrives in Documents is a
// regular file of its own, never a link and never the system's state, and nothing is left behind
// in the picker's tmp/Inbox.

#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/launcher_process.h"
#include "support/launcher_run.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::testMedia;

constexpr const char* kSystemFile = "it is one of the system's files (/proc, /sys), not a file to play";

// Turns links between two targets as fast as it can until it is let go, each turn one atomic
// rename, so whoever opens a link at any moment gets one target or the other.
class LinkFlipper {
public:
    LinkFlipper(std::vector<fs::path> links, fs::path first, fs::path second)
        : m_thread([this, links = std::move(links), first = std::move(first), second = std::move(second)] {
              for (bool toFirst = true; !m_stop; toFirst = !toFirst) {
                  for (const auto& link : links) {
                      const fs::path turned = link.string() + ".turn";
                      std::error_code ignored;
                      fs::remove(turned, ignored);
                      fs::create_symlink(toFirst ? first : second, turned, ignored);
                      fs::rename(turned, link, ignored);
                  }
                  ++m_turns;
              }
          }) {
        // The links exist before anyone looks.
        while (m_turns == 0) std::this_thread::yield();
    }
    ~LinkFlipper() {
        m_stop = true;
        m_thread.join();
    }
    LinkFlipper(const LinkFlipper&) = delete;
    LinkFlipper& operator=(const LinkFlipper&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_turns{0};
    std::thread m_thread;
};

class HostImportTest : public ::testing::Test {
protected:
    HostImportTest() {
        fs::create_directories(documents);
        testing_support::writeFile(dir / "show.txt", "show\n");
    }

    // The app at its terminal, the library shown.
    testing_support::LauncherProcess& startApp() {
        app.emplace(dir.path(), std::vector<std::string>{"--home", home.string(), "--no-restore"});
        EXPECT_TRUE(app->waitFor("Window ")) << app->errors();
        return *app;
    }
    // Picks `path` in the import picker, opened as a person opens it; the screen after the pick.
    std::string pickForImport(const fs::path& path) {
        std::smatch found;
        const std::string shown = app->screenAfter("show");
        if (!std::regex_search(shown, found, std::regex("BarButtonItem #(\\d+) right sym:arrow\\.down\\.doc")))
            return "no import button:\n" + shown;
        app->screenAfter("tap #" + found[1].str());
        app->screenAfter("tap \"Import from Files\"");
        const std::string picked = app->screenAfter("pick \"" + path.string() + "\"");
        // A refused pick leaves the picker up.
        if (picked.find("<DocumentPickerViewController>") != std::string::npos) app->screenAfter("cancel");
        return picked;
    }
    // What the import leaves: every entry under `folder`, at any depth, with "@" after a link.
    static std::vector<std::string> tree(const fs::path& folder) {
        std::vector<std::string> names;
        if (!fs::exists(folder)) return names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.push_back(fs::relative(entry.path(), folder).string() + (entry.is_symlink() ? "@" : ""));
        std::sort(names.begin(), names.end());
        return names;
    }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
    fs::path documents = home / "Documents";
    fs::path inbox = home / "tmp" / "Inbox";
    std::optional<testing_support::LauncherProcess> app;
};

// A link handed in by either route brings in the file it leads to: Documents holds a regular file
// that outlives the original, and importing the same name again is skipped without a trace.
TEST_F(HostImportTest, ALinkIsImportedAsTheFileItLeadsToAndARepeatLeavesNothingBehind) {
    const fs::path clip = dir / "real" / "Clip.mp4";
    fs::create_directories(clip.parent_path());
    fs::copy_file(testMedia("wide.mp4"), clip);
    const auto clipBytes = readFile(clip);
    fs::create_symlink(clip, dir / "Imported.mp4");
    fs::create_symlink(clip, dir / "Picked.mp4");

    const auto imported = testing_support::runLauncher(
        dir.path(), {"--home", home.string(), "--no-restore", "--import", (dir / "Imported.mp4").string(), "--script",
                     (dir / "show.txt").string()});
    startApp();
    pickForImport(dir / "Picked.mp4");
    pickForImport(dir / "Picked.mp4");  // the name is taken now: skipped
    EXPECT_EQ(app->finish(), 0) << app->errors();

    EXPECT_EQ(tree(documents), (std::vector<std::string>{"Imported.mp4", "Inbox", "Picked.mp4"}))
        << imported.err << app->errors();
    EXPECT_EQ(tree(inbox), std::vector<std::string>{}) << "the picker's copies are all taken away";
    fs::remove(clip);
    for (const char* name : {"Imported.mp4", "Picked.mp4"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(documents / name))) << name;
        EXPECT_TRUE(readFile(documents / name) == clipBytes) << name << ": kept when the original goes";
    }
}

// A copy whose name is taken in the library moves in under the next numbered name, shortened to
// the file system's limit (the extension kept, no character cut in two); one that cannot move in
// at all says why and leaves nothing behind in Documents/Inbox.
TEST_F(HostImportTest, ATakenLongNameMovesInShortenedAndAnImportThatCannotSaysWhyAndLeavesNothing) {
    const auto accents = [](int count) {
        std::string text;
        while (count-- > 0) text += "\xC3\xA9";  // é, two bytes
        return text;
    };
    const struct {
        std::string name;     // 255 bytes at most, taken in Documents
        std::string arrives;  // what it moves in as; empty when it cannot
        int taken = 1;        // how many names are taken: it, then "(1)", "(2)" ...
    } cases[] = {
        {std::string(251, 'a') + ".mp4", std::string(247, 'a') + " (1).mp4"},
        {accents(125) + "b.mp4", accents(123) + " (1).mp4"},
        {std::string(255, 'n'), std::string(251, 'n') + " (1)"},
        {"Short.mp4", "Short (2).mp4", 2},
        // Not a video: the library does not read the thousand taken names.
        {"Full.txt", "", 1001},
    };
    std::vector<std::string> arguments = {"--home", home.string(), "--no-restore"};
    std::vector<std::string> expected = {"Inbox"};
    for (const auto& c : cases) {
        const fs::path source = dir / "sources" / c.name;
        fs::create_directories(source.parent_path());
        fs::copy_file(testMedia("wide.mp4"), source);
        for (int number = 0; number < c.taken; ++number) {
            const std::string taken = number == 0 ? c.name
                                                  : fs::path(c.name).stem().string() + " (" + std::to_string(number) +
                                                        ")" + fs::path(c.name).extension().string();
            testing_support::writeFile(documents / taken, "taken");
            expected.push_back(taken);
        }
        if (!c.arrives.empty()) expected.push_back(c.arrives);
        arguments.push_back("--import");
        arguments.push_back(source.string());
    }
    arguments.push_back("--script");
    arguments.push_back((dir / "show.txt").string());
    const auto run = testing_support::runLauncher(dir.path(), arguments);
    EXPECT_EQ(run.status, 0) << run.err;

    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree(documents), expected) << run.err;
    for (const auto& c : cases) {
        if (c.arrives.empty()) continue;
        EXPECT_TRUE(readFile(documents / c.arrives) == readFile(testMedia("wide.mp4"))) << c.arrives;
    }
    EXPECT_NE(run.err.find("could not move Full.txt into the library (every name up to \"Full (1000).txt\" is "
                           "taken); its copy was removed"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("could not move", run.err.find("could not move") + 1), std::string::npos)
        << "only Full.txt failed:\n"
        << run.err;
}

// A link turned between a clip and the app's own environment while it is imported, over and over:
// every import either brings the clip or is refused as the system's file. Whatever the timing,
// the environment (with the secret it holds) never reaches Documents.
TEST_F(HostImportTest, ALinkTurnedToTheSystemsStateMeanwhileNeverBringsItIn) {
    constexpr int kImports = 40;
    constexpr int kPicks = 12;
    const std::string secret = "secret-" + std::to_string(::getpid()) + "-only-in-the-environment";
    testing_support::ScopedEnvironment environment("REELHAVEN_TEST_SECRET", secret);
    const fs::path clip = dir / "Clip.mp4";
    fs::copy_file(testMedia("wide.mp4"), clip);
    const auto clipBytes = readFile(clip);
    std::vector<fs::path> links;
    for (int i = 0; i < kPicks; ++i) links.push_back(dir / ("Picked " + std::to_string(i) + ".mp4"));
    links.push_back(dir / "Imported.mp4");

    std::vector<std::string> pickScreens;
    testing_support::LauncherRun imported;
    {
        LinkFlipper flipper(links, clip, "/proc/self/environ");
        std::vector<std::string> arguments = {"--home", home.string(), "--no-restore"};
        for (int i = 0; i < kImports; ++i) {
            arguments.push_back("--import");
            arguments.push_back(links.back().string());
        }
        arguments.push_back("--script");
        arguments.push_back((dir / "show.txt").string());
        imported = testing_support::runLauncher(dir.path(), arguments);
        startApp();
        for (int i = 0; i < kPicks; ++i) pickScreens.push_back(pickForImport(links[static_cast<size_t>(i)]));
        EXPECT_EQ(app->finish(), 0) << app->errors();
    }

    int arrived = 0;
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        if (fs::is_symlink(entry.symlink_status())) ADD_FAILURE() << "a link in the container: " << entry.path();
        if (!entry.is_regular_file()) continue;
        EXPECT_EQ(readFile(entry.path()).find(secret), std::string::npos) << entry.path();
        if (entry.path().parent_path() != documents) continue;
        EXPECT_TRUE(readFile(entry.path()) == clipBytes) << entry.path();
        ++arrived;
    }
    // Each try either arrived or was refused for what the link led to.
    int refused = 0;
    const std::string refusal = "cannot import " + links.back().string() + ": " + kSystemFile;
    for (size_t at = imported.err.find(refusal); at != std::string::npos; at = imported.err.find(refusal, at + 1))
        ++refused;
    // The picker's own copy judges the link again, on what it opens: refused there, it says so.
    for (const std::string& pickRefusal :
         {": " + std::string(kSystemFile) + " (nothing was picked)", std::string("could not copy ")}) {
        for (size_t at = app->errors().find(pickRefusal); at != std::string::npos;
             at = app->errors().find(pickRefusal, at + 1))
            ++refused;
    }
    EXPECT_EQ(arrived + refused, kImports + kPicks) << imported.err << app->errors();
    EXPECT_EQ(tree(inbox), std::vector<std::string>{});
}

// Files of the kernel's own file systems are the system's state whatever their type says: each is
// refused by --import and by --open, named directly or through a link, and nothing is copied.
// A file system not mounted here is left out.
TEST_F(HostImportTest, FilesOfEveryKernelFileSystemAreRefused) {
    const std::pair<const char*, unsigned long> files[] = {
        {"/proc/self/environ", PROC_SUPER_MAGIC},
        {"/sys/kernel/mm/transparent_hugepage/enabled", SYSFS_MAGIC},
        {"/sys/fs/cgroup/cgroup.controllers", CGROUP2_SUPER_MAGIC},
        {"/sys/fs/cgroup/unified/cgroup.controllers", CGROUP2_SUPER_MAGIC},
        {"/sys/fs/cgroup/cpu/cpu.shares", CGROUP_SUPER_MAGIC},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", CGROUP_SUPER_MAGIC},
        {"/sys/kernel/debug/sleep_time", DEBUGFS_MAGIC},
        {"/sys/kernel/tracing/trace", TRACEFS_MAGIC},
        {"/sys/kernel/security/lsm", SECURITYFS_MAGIC},
        {"/proc/sys/fs/binfmt_misc/status", BINFMTFS_MAGIC},
    };
    std::vector<std::string> arguments = {"--home", home.string(), "--no-restore"};
    std::vector<std::string> expected;
    for (const auto& [path, magic] : files) {
        struct statfs filesystem {};
        if (::statfs(path, &filesystem) != 0 || static_cast<unsigned long>(filesystem.f_type) != magic ||
            !fs::is_regular_file(path))
            continue;
        const fs::path link = dir / (fs::path(path).filename().string() + ".mp4");
        fs::create_symlink(path, link);
        for (const std::string& given : {std::string(path), link.string()}) {
            for (const std::string route : {"import", "open"}) {
                arguments.push_back("--" + route);
                arguments.push_back(given);
                expected.push_back("reelhaven: cannot " + route + " " + given + ": " + kSystemFile + "\n");
            }
        }
    }
    if (expected.size() <= 4) GTEST_SKIP() << "no kernel file system but /proc is mounted here";
    arguments.push_back("--script");
    arguments.push_back((dir / "show.txt").string());
    const auto run = testing_support::runLauncher(dir.path(), arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const auto& line : expected) EXPECT_NE(run.err.find(line), std::string::npos) << line << run.err;
    EXPECT_EQ(tree(documents), std::vector<std::string>{}) << "nothing was copied";
}

}  // namespace

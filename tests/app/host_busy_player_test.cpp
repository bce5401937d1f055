// The app through its launcher while mpv's core is busy for seconds: a clip the user opens where it
// lies, whose subtitle file beside it (9 MB of short cues, found by name as for any file the user
// chose) takes mpv's core seconds of work to take in, and every
// synchronous call to mpv waits for its core. The screen answers meanwhile and `quit` ends the
// process at once, leaving mpv's teardown to the system.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/launcher_process.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LauncherProcess;
using Clock = std::chrono::steady_clock;

// What "answers" means here: far less than mpv's core takes for the subtitles (over 5 s on an
// idle machine, and longer on a loaded one), and a generous bound for a command on a busy machine.
constexpr std::chrono::seconds kAnswer{4};

// SubRip cues ten milliseconds apart, the last first: mpv's core takes them in in a time that
// grows faster than their number (2.4 s of processor time for 120,000, over 7 s for 240,000),
// holding every synchronous call to it meanwhile.
std::string cuesLastFirst(int count) {
    std::string text;
    text.reserve(static_cast<size_t>(count) * 40);
    char cue[96];
    for (int n = 0; n < count; ++n) {
        const int at = (count - 1 - n) * 10;  // milliseconds
        const int minutes = at / 60000;
        const int seconds = at / 1000 % 60;
        const int ms = at % 1000;
        std::snprintf(cue, sizeof cue, "%d\n0:%d:%d,%d --> 0:%d:%d,%d\nx\n\n", n + 1, minutes, seconds, ms, minutes,
                      seconds, ms + 9);
        text += cue;
    }
    return text;
}

// The processor time mpv's core thread (named "mpv/mpv core") of process `pid` has used, in seconds.
double coreSeconds(pid_t pid) {
    double most = 0;
    std::error_code error;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (!std::getline(comm, name) || name != "mpv/mpv core") continue;
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // The fields after the name, which ends at the last ')': utime and stime are the 12th and 13th.
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int n = 1; n <= 13 && fields >> field; ++n)
            if (n >= 12) ticks += std::stod(field);
        most = std::max(most, ticks / static_cast<double>(::sysconf(_SC_CLK_TCK)));
    }
    return most;
}

class HostBusyPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(home / "Documents");
        fs::create_directories(chosen);
        fs::copy_file(testing_support::testMedia("long.mp4"), chosen / "Clip.mp4");
        testing_support::writeFile(chosen / "Clip.srt", cuesLastFirst(240000));
    }

    // Sends `command` and waits for the screen the host prints for it; how long that took.
    std::optional<Clock::duration> answered(LauncherProcess& host, const std::string& command) {
        const auto sent = Clock::now();
        host.send(command);
        if (!host.waitFor("\nWindow ")) return std::nullopt;
        return Clock::now() - sent;
    }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
    // Outside the library: a library file's subtitles are handed to mpv off its core.
    fs::path chosen = dir / "chosen";
};

// Each way the app is told to end: the host's command, and the system's stop.
TEST_F(HostBusyPlayerTest, TheScreenAnswersAndTheAppEndsAtOnceWhileMpvsCoreIsBusy) {
    const std::vector<std::pair<std::string, std::function<void(LauncherProcess&)>>> ends{
        {"quit", [](LauncherProcess& host) { host.send("quit"); }},
        {"SIGTERM", [](LauncherProcess& host) { host.signal(SIGTERM); }},
    };
    for (const auto& [name, end] : ends) {
        SCOPED_TRACE(name);
        LauncherProcess host(dir.path(), {"--home", home.string(), "--audio-output", "null", "--no-restore"});
        ASSERT_TRUE(host.waitFor("Window ")) << host.errors();
        const auto opened = answered(host, "open " + (chosen / "Clip.mp4").string());
        ASSERT_TRUE(opened) << host.errors();
        EXPECT_LT(*opened, kAnswer) << "the opening waited for mpv";
        // Busy: mpv's core has spent a second of processor time on the cues, several times what a
        // whole ordinary load costs it, and has seconds of them left.
        const auto patience = Clock::now() + LauncherProcess::kPatience;
        while (coreSeconds(host.pid()) < 1.0 && Clock::now() < patience)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_GE(coreSeconds(host.pid()), 1.0) << "mpv's core never got busy with the subtitles";
        const auto shown = answered(host, "show");
        ASSERT_TRUE(shown) << host.errors();
        EXPECT_LT(*shown, kAnswer) << "show waited for mpv";
        EXPECT_NE(host.output().rfind("<ReelhavenViewController>"), std::string::npos) << host.output();

        const auto endedAt = Clock::now();
        end(host);
        EXPECT_EQ(host.finish(), 0) << host.errors();
        EXPECT_LT(Clock::now() - endedAt, kAnswer) << "the end waited for mpv";
        // Said only when mpv had not let its handle go by then: its core was still busy.
        EXPECT_NE(host.output().find("the player's mpv is still busy"), std::string::npos) << host.output();
    }
}

}  // namespace

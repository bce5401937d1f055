// `reelhaven --play PATH` run as a user runs it, on generated clips, with mpv's null audio output.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/png_codec.h"
#include "support/display_stage.h"
#include "support/launcher_process.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::testMedia;

// The launcher started with `arguments`, standard output and error going to files in `dir`.
class Launcher {
public:
    // `input`: a file read as standard input (none: the test's own).
    Launcher(const TempDir& dir, std::vector<std::string> arguments, const fs::path& input = {})
        : m_out(dir / "out.txt"), m_err(dir / "err.txt") {
        const char* executable = std::getenv("REELHAVEN_EXECUTABLE");
        if (!executable || !*executable) throw std::runtime_error("REELHAVEN_EXECUTABLE is not set; run through ctest");
        arguments.insert(arguments.begin(), {executable, "--home", (dir / "home").string()});
        m_pid = fork();
        if (m_pid == 0) {
            if (!input.empty()) std::freopen(input.c_str(), "r", stdin);
            std::freopen(m_out.c_str(), "w", stdout);
            std::freopen(m_err.c_str(), "w", stderr);
            std::vector<char*> argv;
            for (auto& argument : arguments) argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Launcher() {
        if (m_pid > 0 && !m_waited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    // The exit status, or 128 + the signal that ended it.
    int wait() {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_waited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    // Waits (generously: CI is busy) until standard output holds `text`.
    bool waitForOutput(const std::string& text) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (out().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    void signal(int number) { kill(m_pid, number); }
    std::string out() const { return fs::exists(m_out) ? readFile(m_out) : std::string(); }
    std::string err() const { return fs::exists(m_err) ? readFile(m_err) : std::string(); }

private:
    fs::path m_out, m_err;
    pid_t m_pid = -1;
    bool m_waited = false;
};

TEST(PlayCommand, PrintsTracksAndChaptersThenEndsAfterTheGivenSeconds) {
    TempDir dir;
    Launcher run(dir, {"--play", testMedia("chapters.mkv").string(), "--audio-output", "null", "--seconds", "0.5"});
    EXPECT_EQ(run.wait(), 0) << run.err();
    auto out = run.out();
    EXPECT_NE(out.find("loaded\tchapters\n"), std::string::npos) << out;
    EXPECT_NE(out.find("track\taudio\t1\t[Eng] Stereo \n"), std::string::npos) << out;
    EXPECT_NE(out.find("track\taudio\t2\t[Deu]\n"), std::string::npos) << out;
    EXPECT_NE(out.find("track\tsub\t1\tsub: 1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("chapter\t0\t3.000\tMiddle\n"), std::string::npos) << out;
    EXPECT_NE(out.find("end\tafter 0.5 s\n"), std::string::npos) << out;
}

// The runtime folder given, and no sound server named, until the test ends.
struct SoundServersHidden {
    explicit SoundServersHidden(const fs::path& runtime) : runtimeDir("XDG_RUNTIME_DIR", runtime.string()) {}
    testing_support::ScopedEnvironment runtimeDir;
    testing_support::ScopedEnvironment pulse{"PULSE_SERVER", std::nullopt};
    testing_support::ScopedEnvironment pipewire{"PIPEWIRE_REMOTE", std::nullopt};
    testing_support::ScopedEnvironment pipewireRuntime{"PIPEWIRE_RUNTIME_DIR", std::nullopt};
};

// On a machine with no sound server, no sound card and no NVIDIA driver (as CI is), a user sees
// only what the player prints, no library probing its outputs.
TEST(PlayCommand, TheTerminalShowsNoLibraryProbingItsOutputs) {
    TempDir dir;
    fs::create_directories(dir / "run");
    const SoundServersHidden hidden(dir / "run");
    Launcher run(dir, {"--play", testMedia("classic.mkv").string(), "--seconds", "0.5"});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_NE(run.out().find("end\tafter 0.5 s\n"), std::string::npos) << run.out();
    for (const char* noise : {"ALSA lib", "pw.conf", "libcuda", "VDPAU", "libva", " @ 0x"})
        EXPECT_EQ(run.err().find(noise), std::string::npos) << noise << " in:\n" << run.err();
}

// The same in a window on a desktop (the display stage's Xvfb), where mpv could reach VDPAU.
TEST(PlayDisplay, TheTerminalShowsNoLibraryProbingItsOutputs) {
    if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display";
    TempDir dir;
    fs::create_directories(dir / "run");
    // A compositor's socket is found in the runtime folder: the empty one gets a link to it, so
    // only the sound servers are missing from it.
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (wayland && wayland[0] != '/' && runtime) fs::create_symlink(fs::path(runtime) / wayland, dir / "run" / wayland);
    const SoundServersHidden hidden(dir / "run");
    Launcher run(dir, {"--play", testMedia("classic.mkv").string(), "--seconds", "0.5", "--display"});
    EXPECT_EQ(run.wait(), 0) << run.err();
    for (const char* noise : {"ALSA lib", "pw.conf", "libcuda", "VDPAU", "libva", " @ 0x"})
        EXPECT_EQ(run.err().find(noise), std::string::npos) << noise << " in:\n" << run.err();
}

TEST(PlayCommand, AFilePlayedToItsEndExitsZero) {
    TempDir dir;
    Launcher run(dir, {"--play", testMedia("halves.mp4").string(), "--audio-output", "null"});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_NE(run.out().find("end\teof\n"), std::string::npos) << run.out();
}

// With the default output: on a machine without a sound device (CI's) mpv plays no sound and
// the file still ends as played.
TEST(PlayCommand, AFileWithSoundPlayedToItsEndExitsZeroOnTheDefaultOutput) {
    TempDir dir;
    Launcher run(dir, {"--play", testMedia("classic.mkv").string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_NE(run.out().find("end\teof\n"), std::string::npos) << run.out();
}

std::size_t endLines(const std::string& out) {
    std::size_t count = 0;
    for (auto at = out.find("end\t"); at != std::string::npos; at = out.find("end\t", at + 1))
        if (at == 0 || out[at - 1] == '\n') ++count;
    return count;
}

TEST(PlayCommand, TimeRunningOutJustAfterTheFileEndedPrintsOneEnd) {
    TempDir dir;
    Launcher run(dir, {"--play", testMedia("halves.mp4").string(), "--audio-output", "null", "--seconds", "2.1"});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_EQ(endLines(run.out()), 1u) << run.out();
}

TEST(PlayCommand, ASkipPastTheEndPrintsOneEnd) {
    TempDir dir;
    const auto input = dir / "keys.txt";
    {
        std::ofstream keys(input);
        keys << "right\n";
    }
    Launcher run(dir, {"--play", testMedia("halves.mp4").string(), "--audio-output", "null", "--seconds", "0.25"},
                 input);
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_EQ(endLines(run.out()), 1u) << run.out();
}

TEST(PlayCommand, TheFrameToSaveIsWaitedForWhenTheTimeRunsOutFirst) {
    TempDir dir;
    auto png = dir / "frame.png";
    Launcher run(dir, {"--play", testMedia("long.mp4").string(), "--audio-output", "null", "--seconds", "0",
                       "--frame-out", png.string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_TRUE(gfx::PngCodec::decode(readFile(png))) << run.out();
    EXPECT_NE(run.out().find("end\tafter 0 s\n"), std::string::npos) << run.out();
    EXPECT_EQ(endLines(run.out()), 1u) << run.out();
}

TEST(PlayCommand, AFileThatCannotBePlayedExitsWithAMessage) {
    TempDir dir;
    Launcher missing(dir, {"--play", (dir / "missing.mp4").string(), "--audio-output", "null"});
    EXPECT_EQ(missing.wait(), 1);
    EXPECT_NE(missing.err().find("cannot play"), std::string::npos) << missing.err();

    Launcher damaged(dir, {"--play", testMedia("truncated.mp4").string(), "--audio-output", "null"});
    EXPECT_EQ(damaged.wait(), 1);
    EXPECT_NE(damaged.err().find("cannot play"), std::string::npos) << damaged.err();
    EXPECT_NE(damaged.out().find("end\terror\n"), std::string::npos) << damaged.out();
}

// What is no file to play is named for what it is, and nothing is opened: a pipe or a device would
// hold the player reading forever.
TEST(PlayCommand, WhatIsNoFileIsRefusedForWhatItIs) {
    TempDir dir;
    fs::create_directories(dir / "Films" / "Inner");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp4").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir / "zero.mp4");
    const std::pair<std::string, std::string> cases[] = {
        {(dir / "pipe.mp4").string(), "it is a FIFO (a named pipe), not a file"},
        {"/dev/zero", "it is a device, not a file"},
        {(dir / "zero.mp4").string(), "it is a device, not a file"},
        {"file:///dev/zero", "it is a device, not a file"},
        {(dir / "Films").string(), "it is a folder, not a file"},
        {"file://" + (dir / "Films").string(), "it is a folder, not a file"},
        {(dir / "missing.mp4").string(), "no such file"},
        {"file://" + (dir / "missing.mp4").string(), "no such file"},
    };
    for (const auto& [given, problem] : cases) {
        Launcher run(dir, {"--play", given, "--audio-output", "null", "--seconds", "0"});
        EXPECT_EQ(run.wait(), 1) << given;
        EXPECT_EQ(run.err(), "reelhaven: cannot play " + given + ": " + problem + "\n") << given;
        EXPECT_EQ(run.out(), "") << given;
    }
}

TEST(PlayCommand, SavesTheFirstFrameUpright) {
    TempDir dir;
    auto png = dir / "frame.png";
    Launcher run(dir, {"--play", testMedia("halves-rot-90.mp4").string(), "--audio-output", "null", "--frame-out",
                       png.string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    auto image = gfx::PngCodec::decode(readFile(png));
    ASSERT_TRUE(image) << run.out();
    // The player's video view fills the 360-point height: at 16:9 until mpv reports the turned
    // picture's aspect, then as narrow as the picture.
    ASSERT_EQ(image->height(), 360);
    const int middle = image->width() / 2;
    // A clockwise quarter turn puts the blue left half on top.
    EXPECT_GT(image->pixel(middle, 80).b, 200);
    EXPECT_LT(image->pixel(middle, 80).r, 60);
    EXPECT_GT(image->pixel(middle, 280).r, 200);
    EXPECT_LT(image->pixel(middle, 280).b, 60);
}

TEST(PlayCommand, KeysFromStandardInputDriveThePlayerAndScreenPrintsIt) {
    TempDir dir;
    const auto input = dir / "keys.txt";
    {
        std::ofstream keys(input);
        keys << "screen\n";
    }
    Launcher run(dir, {"--play", testMedia("long.mp4").string(), "--audio-output", "null", "--seconds", "0.5"}, input);
    EXPECT_EQ(run.wait(), 0) << run.err();
    const auto out = run.out();
    EXPECT_NE(out.find("<ReelhavenViewController>"), std::string::npos) << out;
    EXPECT_NE(out.find("VideoControlView"), std::string::npos) << out;
}

TEST(PlayCommand, StopsOnSIGTERMSIGINTAndSIGHUP) {
    // SIGHUP: the terminal it ran in was closed.
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        TempDir dir;
        Launcher run(dir, {"--play", testMedia("long.mp4").string(), "--audio-output", "null"});
        ASSERT_TRUE(run.waitForOutput("loaded\t")) << run.err();
        run.signal(number);
        EXPECT_EQ(run.wait(), 128 + number);
        EXPECT_NE(run.out().find(number == SIGINT ? "end\tinterrupted\n" : "end\tterminated\n"), std::string::npos)
            << run.out();
    }
}

// The position kept for the one clip in the home's progress file; none when nothing was kept.
std::optional<double> savedProgress(const fs::path& home) {
    const auto file = home / "Library/Application Support/progressData";
    if (!fs::exists(file)) return std::nullopt;
    const auto records = nlohmann::json::parse(readFile(file), nullptr, false);
    if (!records.is_object() || records.size() != 1) return std::nullopt;
    const auto& seconds = records.begin().value()["progress"]["seconds"];
    return seconds.is_number() ? std::optional<double>(seconds.get<double>()) : std::nullopt;
}

// Stopped while it plays, by a signal or by a reader that has seen enough (`| head`) closing the
// output, the run keeps where it was, as the player does when it closes.
TEST(PlayCommand, AStopOrAClosedOutputSavesWhereItWas) {
    for (const bool closeOutput : {true, false}) {
        TempDir dir;
        testing_support::LauncherProcess run(dir.path(), {"--home", (dir / "home").string(), "--play",
                                                          testMedia("long.mp4").string(), "--audio-output", "null"});
        ASSERT_TRUE(run.waitFor("loaded\t")) << run.errors();
        ASSERT_TRUE(run.waitFor("time\t")) << run.errors();
        // Past the 20 s a file opened from outside the library must play before its place is kept:
        // two skips, each from where the other landed.
        run.send("right");
        ASSERT_TRUE(run.waitFor("time\t0:1")) << run.errors();
        run.send("right");
        ASSERT_TRUE(run.waitFor("time\t0:3")) << run.errors();
        // One more: the player has read the new position since.
        ASSERT_TRUE(run.waitFor("time\t")) << run.errors();
        if (closeOutput) {
            run.closeOutput();
        } else {
            run.signal(SIGTERM);
        }
        EXPECT_EQ(run.waitForExit(), 128 + (closeOutput ? SIGPIPE : SIGTERM)) << run.errors();
        EXPECT_GE(savedProgress(dir / "home").value_or(0), 30.0) << (closeOutput ? "output closed" : "SIGTERM");
    }
}

// Names come from files: a line break in one must not start a line a reader takes for the run's.
TEST(PlayCommand, NamesAndPathsAreEscapedSoTheyCannotForgeLines) {
    TempDir dir;
    const auto clip = dir / "Film\nend\teof\nfirst frame\tFilm.mp4";
    fs::copy_file(testMedia("halves.mp4"), clip);
    const auto png = dir / "a\tb\\c.png";
    Launcher run(dir,
                 {"--play", clip.string(), "--audio-output", "null", "--seconds", "0", "--frame-out", png.string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    const auto out = run.out();
    EXPECT_NE(out.find("loaded\tFilm\\nend\\teof\\nfirst frame\\tFilm\n"), std::string::npos) << out;
    EXPECT_NE(out.find("frame\t" + (dir / "a\\tb\\\\c.png").string() + "\n"), std::string::npos) << out;
    EXPECT_EQ(endLines(out), 1u) << out;
    EXPECT_EQ(out.find("\nfirst frame"), std::string::npos) << out;
}

// A name with a terminal's escape sequences (an uploaded file's) reaches neither stream as it is:
// not in the lines, not in the message of a file that cannot be played, whose path cannot forge
// a second line there either.
TEST(PlayCommand, ANamesEscapeSequencesReachNeitherStream) {
    TempDir dir;
    const std::string name =
        "\x1b]0;owned\x07\x1b[2J"
        "Film";
    const std::string printed = "\\x1b]0;owned\\x07\\x1b[2JFilm";
    fs::copy_file(testMedia("halves.mp4"), dir / (name + ".mp4"));
    const auto png = dir / (name + ".png");
    Launcher run(dir, {"--play", (dir / (name + ".mp4")).string(), "--audio-output", "null", "--seconds", "0",
                       "--frame-out", png.string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_NE(run.out().find("loaded\t" + printed + "\n"), std::string::npos) << run.out();
    EXPECT_NE(run.out().find("frame\t" + (dir / printed).string() + ".png\n"), std::string::npos) << run.out();
    for (const auto& stream : {run.out(), run.err()})
        EXPECT_EQ(stream.find_first_of("\x1b\x07"), std::string::npos) << stream;

    const auto missing = dir / (name + "\nreelhaven: forged.mp4");
    Launcher refused(dir, {"--play", missing.string(), "--audio-output", "null"});
    EXPECT_EQ(refused.wait(), 1);
    EXPECT_EQ(refused.err(),
              "reelhaven: cannot play " + (dir / printed).string() + "\\nreelhaven: forged.mp4: no such file\n");
}

// In a window on a desktop (the display stage's Xvfb): the frames are composited on screen and the
// window's own pixels show them.
TEST(PlayDisplay, TheWindowShowsTheVideoAndItsScreenshotHoldsTheFrameColours) {
    if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display";
    TempDir dir;
    auto png = dir / "window.png";
    Launcher run(dir,
                 {"--play", testMedia("halves.mp4").string(), "--audio-output", "null", "--screenshot", png.string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_NE(run.out().find("end\tscreenshot\n"), std::string::npos) << run.out();
    auto image = gfx::PngCodec::decode(readFile(png));
    ASSERT_TRUE(image) << run.out();
    ASSERT_EQ(image->width(), 640);
    ASSERT_EQ(image->height(), 360);
    // The clip's left half is blue, its right half red.
    EXPECT_GT(image->pixel(160, 180).b, 200);
    EXPECT_LT(image->pixel(160, 180).r, 60);
    EXPECT_GT(image->pixel(480, 180).r, 200);
    EXPECT_LT(image->pixel(480, 180).b, 60);
}

// The process ends without tearing its window down; the window's statistics, which the benchmarks
// read, are written all the same, with the frames it showed.
TEST(PlayDisplay, TheWindowsStatisticsAreWrittenAsTheProcessEnds) {
    if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display";
    TempDir dir;
    const testing_support::ScopedEnvironment statistics("REELHAVEN_DISPLAY_STATISTICS", (dir / "window.txt").string());
    Launcher run(dir,
                 {"--play", testMedia("long.mp4").string(), "--audio-output", "null", "--display", "--seconds", "1"});
    EXPECT_EQ(run.wait(), 0) << run.err();
    ASSERT_TRUE(fs::exists(dir / "window.txt")) << run.err();
    const auto text = readFile(dir / "window.txt");
    const auto shown = text.find("\nshown ");
    ASSERT_NE(shown, std::string::npos) << text;
    EXPECT_GT(std::stoi(text.substr(shown + 7)), 0) << text;
}

// Top and bottom as mpv itself shows them: the clip turned a quarter, its blue half below.
TEST(PlayDisplay, TheWindowShowsTheVideoTheRightWayUp) {
    if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display";
    TempDir dir;
    auto png = dir / "window.png";
    Launcher run(dir, {"--play", testMedia("halves-rot90.mp4").string(), "--audio-output", "null", "--screenshot",
                       png.string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    auto image = gfx::PngCodec::decode(readFile(png));
    ASSERT_TRUE(image) << run.out();
    ASSERT_EQ(image->height(), 360);
    EXPECT_GT(image->pixel(320, 90).r, 200);
    EXPECT_LT(image->pixel(320, 90).b, 60);
    EXPECT_GT(image->pixel(320, 270).b, 200);
    EXPECT_LT(image->pixel(320, 270).r, 60);
}

// A screenshot that cannot be written says where, its path escaped as every printed path is.
TEST(PlayDisplay, AScreenshotThatCannotBeWrittenNamesItsPathEscaped) {
    if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display";
    TempDir dir;
    const auto png = dir / "\x1b]0;owned\x07" / "window.png";
    Launcher run(dir,
                 {"--play", testMedia("halves.mp4").string(), "--audio-output", "null", "--screenshot", png.string()});
    EXPECT_EQ(run.wait(), 1) << run.err();
    EXPECT_NE(run.err().find("reelhaven: cannot write the screenshot to " + (dir / "\\x1b]0;owned\\x07").string() +
                             "/window.png\n"),
              std::string::npos)
        << run.err();
    EXPECT_EQ(run.err().find_first_of("\x1b\x07"), std::string::npos) << run.err();
}

TEST(PlayDisplay, AFileWithoutPictureIsScreenshotWithItsMessage) {
    if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display";
    TempDir dir;
    auto png = dir / "window.png";
    Launcher run(
        dir, {"--play", testMedia("long-audio.m4a").string(), "--audio-output", "null", "--screenshot", png.string()});
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_NE(run.out().find("end\tscreenshot\n"), std::string::npos) << run.out();
    auto image = gfx::PngCodec::decode(readFile(png));
    ASSERT_TRUE(image) << run.out();
    // The alert's panel in the middle is lighter than the black picture around it.
    EXPECT_GT(image->pixel(320, 180).r, 20);
    EXPECT_LT(image->pixel(40, 40).r, 10);
}

TEST(PlayDisplay, WithoutADisplayTheWindowCannotOpenAndSaysSo) {
    TempDir dir;
    setenv("DISPLAY", ":9999", 1);  // no server there
    unsetenv("WAYLAND_DISPLAY");
    Launcher run(dir, {"--play", testMedia("halves.mp4").string(), "--audio-output", "null", "--display"});
    EXPECT_EQ(run.wait(), 1);
    EXPECT_NE(run.err().find("no display"), std::string::npos) << run.err();
}

}  // namespace

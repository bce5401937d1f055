// The library and the player in a real window: `reelhaven --display` run as a user runs it (from a
// script, or a command at a time where the next click depends on the screen) on a home with three
// clips of one known colour each, clicks and keys going through the window's input path, and what the window shows read
// back from its screenshots. Pixels are sampled by colour with tolerances, never compared whole (fonts and Mesa
// versions differ). Without a display (the display stage runs these under Xvfb) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/progress_client.h"
#include "platform/foundation/url.h"
#include "platform/graphics/png_codec.h"
#include "support/display_stage.h"
#include "support/launcher_process.h"
#include "support/launcher_run.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "window_pixels.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LauncherRun;
using testing_support::readFile;
using testing_support::testMedia;
using testing_support::writeFile;
using namespace window_pixels;

class LibraryDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(home / "Documents");
        for (const auto* colour : {&kRed, &kGreen, &kBlue}) {
            std::string file = colour->name;
            std::transform(file.begin(), file.end(), file.begin(), ::tolower);
            fs::copy_file(testMedia("solid-" + file + ".mp4"),
                          home / "Documents" / (std::string(colour->name) + ".mp4"));
        }
    }

    LauncherRun launch(const std::string& script) {
        writeFile(dir / "script.txt", script);
        return testing_support::runLauncher(
            dir.path(), {"--home", home.string(), "--display", "--script", (dir / "script.txt").string()});
    }

    std::optional<gfx::Image> screenshot(const std::string& name) {
        const auto path = dir / name;
        if (!fs::exists(path)) return std::nullopt;
        auto image = gfx::PngCodec::decode(readFile(path));
        if (!image) return std::nullopt;
        return image.value();
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
};

TEST_F(LibraryDisplay, TheGridShowsThreeCellsWithTheirClipsColours) {
    auto run = launch("screenshot " + path("grid.png") + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    auto grid = screenshot("grid.png");
    ASSERT_TRUE(grid);
    std::vector<Region> cells;
    for (const auto* colour : {&kRed, &kGreen, &kBlue}) {
        cells.push_back(regionOf(*grid, *colour));
        EXPECT_TRUE(showsBlock(cells.back(), 40)) << colour->name;
    }
    for (size_t i = 0; i < cells.size(); ++i) {
        for (size_t j = i + 1; j < cells.size(); ++j)
            EXPECT_FALSE(cells[i].overlaps(cells[j])) << "cells " << i << " and " << j << " share pixels";
    }
}

TEST_F(LibraryDisplay, AWiderWindowLaysTheGridOutInMoreColumns) {
    auto run = launch("screenshot " + path("narrow.png") + "\nresize 1100 700\nscreenshot " + path("wide.png") + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    auto narrow = screenshot("narrow.png");
    auto wide = screenshot("wide.png");
    ASSERT_TRUE(narrow && wide);
    EXPECT_EQ(wide->width(), 1100);
    EXPECT_EQ(wide->height(), 700);
    // How many of the three cells share the first row.
    auto firstRow = [](const gfx::Image& image) {
        std::vector<Region> cells;
        for (const auto* colour : {&kRed, &kGreen, &kBlue}) cells.push_back(regionOf(image, *colour));
        int top = image.height();
        for (const auto& cell : cells) top = std::min(top, cell.top);
        return std::count_if(cells.begin(), cells.end(),
                             [&](const Region& cell) { return showsBlock(cell, 40) && std::abs(cell.top - top) <= 2; });
    };
    EXPECT_LT(firstRow(*narrow), 3);
    EXPECT_EQ(firstRow(*wide), 3);
}

// The player's position as its scrubber shows it in each printed screen, in per cent.
std::vector<double> scrubberValues(const std::string& out) {
    std::vector<double> values;
    static const std::regex scrubber(R"(DetailScrubber #\d+ [^\n]* value ([0-9.]+) of 0\.\.100)");
    for (std::sregex_iterator it(out.begin(), out.end(), scrubber), end; it != end; ++it)
        values.push_back(std::stod((*it)[1]));
    return values;
}

// The launcher in a window driven a command at a time, as a person at its terminal drives it:
// each command's screen is read before the next is typed, so the player's buttons, which show
// only a symbol, are clicked by the handle their line carries, at whatever place the layout gives
// them, through the window's input path.
class WindowSession {
public:
    WindowSession(const testing_support::TempDir& dir, const fs::path& home)
        : m_process(dir.path(), {"--home", home.string(), "--display"}) {}

    // Whether the first screen came.
    bool started() {
        if (!m_started) m_started = m_process.waitFor("Window ").has_value();
        return m_started;
    }

    // Runs one command; the screen it left (empty when none came).
    std::string run(const std::string& command) {
        if (!started()) return {};
        m_process.send(command);
        m_process.send("wait 0");
        if (!m_process.waitFor("\nWindow ")) return {};
        auto screen = m_process.waitFor("\nWindow ");
        return screen ? "Window " + *screen : std::string();
    }

    // Clicks the one element whose line on `screen` shows `detail` (a symbol: "sym:xmark").
    ::testing::AssertionResult clickShowing(const std::string& screen, const std::string& detail) {
        const std::regex line("#(\\d+) [^\\n]*" + std::regex_replace(detail, std::regex(R"([.])"), R"(\.)") +
                              "(?![\\w.])");
        std::vector<std::string> handles;
        for (std::sregex_iterator it(screen.begin(), screen.end(), line), end; it != end; ++it)
            handles.push_back((*it)[1]);
        if (handles.size() != 1)
            return ::testing::AssertionFailure() << handles.size() << " elements show " << detail << ":\n" << screen;
        m_lastScreen = run("click #" + handles.front());
        if (m_lastScreen.empty()) return ::testing::AssertionFailure() << "no screen after the click";
        const std::string errors = m_process.errors();
        if (errors.find("reelhaven: ") != std::string::npos)
            return ::testing::AssertionFailure() << "the click on " << detail << " failed: " << errors;
        return ::testing::AssertionSuccess();
    }

    const std::string& lastScreen() const { return m_lastScreen; }
    int finish() { return m_process.finish(); }
    const std::string& output() const { return m_process.output(); }
    std::string errors() const { return m_process.errors(); }

private:
    testing_support::LauncherProcess m_process;
    bool m_started = false;
    std::string m_lastScreen;
};

// Opens the green clip with a click on its cell and lets its picture show (the screenshot waits for
// it), brings the bars up with a click on the picture (a single tap: it waits out the double
// click), then pauses with the play button, which holds the bars up. Paused, the picture stays put
// while the window is read back. The screen the pause left, or a failure.
::testing::AssertionResult openGreenAndPause(WindowSession& session, const testing_support::TempDir& dir) {
    if (!session.started()) return ::testing::AssertionFailure() << "no first screen: " << session.errors();
    session.run("click \"Green\"");
    session.run("screenshot " + (dir / "playing.png").string());
    session.run("click 195 150");
    const std::string shown = session.run("wait 0.5");
    auto paused = session.clickShowing(shown, "sym:pause.fill");
    if (!paused) return paused;
    if (session.lastScreen().find("sym:play.fill") == std::string::npos)
        return ::testing::AssertionFailure() << "not paused:\n" << session.lastScreen();
    return ::testing::AssertionSuccess();
}

TEST_F(LibraryDisplay, AClickOnACellOpensThePlayerShowingThatClip) {
    WindowSession session(dir, home);
    session.run("screenshot " + path("grid.png"));
    ASSERT_TRUE(openGreenAndPause(session, dir));
    session.run("wait 0.5");
    session.run("screenshot " + path("player.png"));
    session.run("show tree");
    ASSERT_EQ(session.finish(), 0) << session.errors();
    EXPECT_NE(session.output().find("presents ReelhavenViewController (shown)"), std::string::npos) << session.output();
    auto grid = screenshot("grid.png");
    auto player = screenshot("player.png");
    ASSERT_TRUE(grid && player);
    // The video fills the window's width at 16:9 in the middle of the phone's screen.
    const auto video = regionOf(*player, kGreen);
    EXPECT_TRUE(showsBlock(video, 150)) << video;
    EXPECT_GE(video.width(), player->width() - 2) << video;
    EXPECT_NEAR(video.centreY(), player->height() / 2, 4) << video;
    EXPECT_LT(regionOf(*player, kRed).count, 100) << "the other clips' cells are covered";
    EXPECT_LT(regionOf(*player, kBlue).count, 100);
    EXPECT_FALSE(matches(grid->pixel(grid->width() / 2, grid->height() / 2), kGreen)) << "the grid's middle was not";
}

TEST_F(LibraryDisplay, TheRightArrowKeySkipsForwardByTheSkipInterval) {
    // Paused, the position stays put and shows; the key then skips the default 15 s of the 30 s clip.
    WindowSession session(dir, home);
    ASSERT_TRUE(openGreenAndPause(session, dir));
    const auto before = scrubberValues(session.run("show"));
    session.run("key right");
    const auto second = scrubberValues(session.run("wait 1"));
    const auto later = scrubberValues(session.run("wait 2"));
    ASSERT_EQ(session.finish(), 0) << session.errors();
    ASSERT_EQ(before.size(), 1u) << session.output();
    ASSERT_EQ(second.size(), 1u) << session.output();
    ASSERT_EQ(later.size(), 1u) << session.output();
    const double skipped = (later[0] - before[0]) * 30 / 100;
    // A skip lands on a key frame (one a second).
    EXPECT_NEAR(skipped, 15, 1.1) << before[0] << "% -> " << later[0] << "%";
    EXPECT_EQ(second[0], later[0]) << "the seek had ended a second after the key, the video paused";
}

TEST_F(LibraryDisplay, TheOptionsPopoverOpensFromItsButton) {
    WindowSession session(dir, home);
    ASSERT_TRUE(openGreenAndPause(session, dir));
    const std::string paused = session.run("wait 0.5");
    const size_t beforeClick = session.output().size();
    ASSERT_TRUE(session.clickShowing(paused, "sym:switch.2"));
    // The popover comes up a moment after the touch.
    session.run("wait 1");
    session.run("show tree");
    session.run("screenshot " + path("options.png"));
    ASSERT_EQ(session.finish(), 0) << session.errors();
    const std::string& out = session.output();
    const std::string presented = "presents OptionsPopoverViewController (shown)";
    const auto opened = out.find(presented, beforeClick);
    ASSERT_NE(opened, std::string::npos) << out;
    EXPECT_LT(out.find("presents ReelhavenViewController (shown)\n"), opened);
    EXPECT_EQ(out.substr(0, beforeClick).find("OptionsPopoverViewController"), std::string::npos) << "not before";
    EXPECT_NE(out.find("\"Skip Interval\"", opened), std::string::npos) << out;
    // The popover covers a good part of the video (16:9 across the window's width).
    auto options = screenshot("options.png");
    ASSERT_TRUE(options);
    const double videoArea = options->width() * (options->width() * 9.0 / 16);
    const auto uncovered = regionOf(*options, kGreen);
    EXPECT_GT(uncovered.count, 0) << "the video still shows beside the popover";
    EXPECT_LT(uncovered.count, videoArea * 0.8);
}

TEST_F(LibraryDisplay, ClosingThePlayerWritesItsProgress) {
    // The launcher stays up after the close, so what the file holds was written by the close, not
    // by the app leaving at the end.
    WindowSession session(dir, home);
    ASSERT_TRUE(openGreenAndPause(session, dir));
    // Where the paused player shows it stands after the skip: how long it played before the pause
    // depends on how busy the machine is.
    const auto shown = scrubberValues(session.run("key right"));
    ASSERT_FALSE(shown.empty()) << session.output();
    const double position = shown.back() * 30 / 100;
    ASSERT_TRUE(session.clickShowing(session.run("wait 1"), "sym:xmark"));
    // The tree comes before the screen it is printed with.
    const size_t mark = session.output().size();
    session.run("show tree");
    const std::string closed = session.output().substr(mark);
    EXPECT_NE(closed.find("NavigationController (shown)\n    LibraryFileCollectionViewController (shown)\n"),
              std::string::npos)
        << closed << session.errors();
    EXPECT_EQ(closed.find("presents ReelhavenViewController"), std::string::npos) << closed;
    // The file is written in the background of the close: look for it while the launcher waits.
    const auto progressFile = home / "Library" / "Application Support" / reelhaven::ProgressClient::kFileName;
    const auto deadline = std::chrono::steady_clock::now() + testing_support::LauncherProcess::kPatience;
    while (!fs::exists(progressFile) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(progressFile)) << session.output() << session.errors();
    // Written whole: a temporary file renamed over.
    const auto records = nlohmann::json::parse(readFile(progressFile), nullptr, false);
    ASSERT_TRUE(records.is_object()) << readFile(progressFile);
    const auto key = reelhaven::ProgressClient::progressKey(
        foundation::URL::fileURLWithPath((home / "Documents" / "Green.mp4").string()));
    ASSERT_TRUE(records.contains(key)) << records.dump();
    EXPECT_EQ(records[key]["duration"]["seconds"], 30.0);
    // Paused near the start, then skipped 15 s: kept where the player showed it.
    EXPECT_GE(position, 15);
    EXPECT_NEAR(records[key]["progress"]["seconds"].get<double>(), position, 1) << records.dump();
    EXPECT_EQ(records[key]["isFinished"], false);
}

}  // namespace

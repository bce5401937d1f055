// The window's size reaches every presented screen: a resized window lays the player out for its
// new size, so a click on the player's close button closes it, and the window never gets smaller
// than the size at which the player's bottom bar still has room for every control. The launcher
// runs with `--display` a command at a time, each click going through the window's pointer.
// Without a display (the display stage runs these under Xvfb) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/display_stage.h"
#include "support/launcher_process.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "support/xvfb_screen.h"

namespace {

namespace fs = std::filesystem;

struct Frame {
    std::string line;
    double x = 0, y = 0, width = 0, height = 0;
    bool intersects(const Frame& other) const {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height && other.y < y + height;
    }
};

class WindowSizeDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(home / "Documents");
        fs::copy_file(testing_support::testMedia("three-chapters.mkv"), home / "Documents" / "three-chapters.mkv");
        process.emplace(dir.path(), std::vector<std::string>{"--home", home.string(), "--display", "--no-restore",
                                                             "--audio-output", "null"});
        ASSERT_TRUE(process->waitFor("Window ")) << process->errors();
    }

    std::string run(const std::string& command) { return process->screenAfter(command); }

    // Plays the video, paused (so the bars a click brings up stay however slow the machine is).
    void playPaused() {
        run("click \"three-chapters\"");
        run("screenshot " + (dir / "playing.png").string());  // once the picture shows
        run("key space");
    }
    // Clicks the picture at `picture` until the player's bars show; the screen then.
    std::string showBars(const std::string& picture) {
        std::string shown = run("show");
        for (int look = 0; look < 50 && shown.find("sym:xmark") == std::string::npos; ++look)
            shown = run("click " + picture);
        return shown;
    }

    // The frames of the elements printed as `kind` (a line's class name, by pattern).
    static std::vector<Frame> frames(const std::string& screen, const std::string& kind) {
        std::vector<Frame> found;
        const std::regex line("\\n *(" + kind + ")( #\\d+)? (-?[\\d.]+),(-?[\\d.]+) ([\\d.]+)x([\\d.]+)[^\\n]*");
        for (auto it = std::sregex_iterator(screen.begin(), screen.end(), line); it != std::sregex_iterator(); ++it) {
            const auto& m = *it;
            found.push_back({m[0].str(), std::stod(m[3].str()), std::stod(m[4].str()), std::stod(m[5].str()),
                             std::stod(m[6].str())});
        }
        return found;
    }
    // The part of the screen from the line naming `start` to the line naming `end`.
    static std::string section(const std::string& screen, const std::string& start, const std::string& end) {
        const auto from = screen.find(start);
        if (from == std::string::npos) return {};
        const auto to = screen.find(end, from);
        return screen.substr(from, to == std::string::npos ? std::string::npos : to - from);
    }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
    std::optional<testing_support::LauncherProcess> process;
};

TEST_F(WindowSizeDisplay, AResizedWindowLaysThePlayerOutAgainAndItsCloseButtonClosesIt) {
    playPaused();
    run("resize 800 600");
    const auto shown = showBars("400 150");
    ASSERT_TRUE(std::regex_search(shown, std::regex("View #\\d+ 0,0 800x600 <ReelhavenViewController>"))) << shown;
    const auto close = frames(shown, "Button");
    const auto xmark = std::find_if(close.begin(), close.end(),
                                    [](const Frame& f) { return f.line.find("sym:xmark") != std::string::npos; });
    ASSERT_NE(xmark, close.end()) << shown;
    // Before, the player stayed 390x844 in the corner under the library's bar: its close button
    // lay under the gear, and the click opened Settings.
    std::ostringstream centre;
    centre << "click " << xmark->x + xmark->width / 2 << " " << xmark->y + xmark->height / 2;
    const auto after = run(centre.str());
    EXPECT_EQ(after.find("<ReelhavenViewController>"), std::string::npos) << after;
    EXPECT_NE(after.find("NavigationBar \"Library\""), std::string::npos) << after;
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

TEST_F(WindowSizeDisplay, TheWindowStopsAtItsMinimumWhereThePlayersBarStillHoldsEveryControl) {
    playPaused();
    EXPECT_EQ(run("resize 200 200").rfind("Window 390x390\n", 0), 0u);
    const auto shown = showBars("195 150");
    const auto bar = section(shown, "BottomControlView", "NoteView");
    const auto controls = frames(bar, "Button|Label|DetailScrubber");
    ASSERT_EQ(controls.size(), 8u) << bar;
    for (const auto& control : controls) {
        EXPECT_GT(control.width, 0) << control.line;
        if (control.line.find("DetailScrubber") != std::string::npos) {
            EXPECT_GE(control.width, 50) << control.line;
        }
        for (const auto& other : controls) {
            if (&other != &control) {
                EXPECT_FALSE(control.intersects(other)) << control.line << " on " << other.line;
            }
        }
    }
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

// Where the X server itself has the window: its place and size on the screen, as xwininfo reads
// them. All zero when no window of that name shows.
struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry windowOnScreen(const std::string& display, const std::string& name) {
    Geometry found;
    const std::string command = "xwininfo -display " + display + " -name " + name + " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return found;
    char line[256];
    const std::pair<const char*, int*> fields[] = {{"Absolute upper-left X:", &found.x},
                                                   {"Absolute upper-left Y:", &found.y},
                                                   {"Width:", &found.width},
                                                   {"Height:", &found.height}};
    while (std::fgets(line, sizeof line, pipe.get())) {
        const std::string text(line);
        for (const auto& [label, value] : fields)
            if (const auto at = text.find(label); at != std::string::npos)
                *value = std::atoi(text.c_str() + at + std::string(label).size());
    }
    return found;
}

// A window opened on a screen shorter than it (a pad's 1024 x 1366 points, a phone's 390 x 844, a
// size asked for) is scaled down whole, so it keeps its shape and its bars lie on the screen, as
// the X server places it; the app lays out in the size asked for all the same, only its pixels
// scaled. On a screen where it fits it opens at its size. Each case has an Xvfb screen of its
// own, of the size it names.
TEST(WindowFitDisplay, AWindowFitsAScreenShorterThanItKeepingItsShapeAndItsLayout) {
    if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
    struct Case {
        int screenWidth, screenHeight;
        std::vector<std::string> size;  // the launcher's arguments that say it
        int pointsWidth, pointsHeight;  // what the app lays out in
        int width, height;              // the window on the screen
    };
    const Case cases[] = {
        {1280, 1000, {"--device", "pad"}, 1024, 1366, 750, 1000},
        {1600, 1400, {"--device", "pad"}, 1024, 1366, 1024, 1366},
        {1280, 800, {}, 390, 844, 370, 800},
        {1280, 800, {"--size", "390x2000"}, 390, 2000, 156, 800},
    };
    for (const Case& c : cases) {
        const std::string size = std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight);
        SCOPED_TRACE(size + " " + (c.size.empty() ? "phone" : c.size.back()));
        testing_support::XvfbScreen screen(size + "x24");
        ASSERT_FALSE(screen.display().empty()) << "Xvfb did not start";
        const testing_support::ScopedEnvironment display("DISPLAY", screen.display());
        const testing_support::ScopedEnvironment wayland("WAYLAND_DISPLAY", std::nullopt);
        testing_support::TempDir dir;
        const auto home = dir / "home";
        fs::create_directories(home / "Documents");
        std::vector<std::string> arguments{"--home",       home.string(),    "--display",
                                           "--no-restore", "--audio-output", "null"};
        arguments.insert(arguments.end(), c.size.begin(), c.size.end());
        testing_support::LauncherProcess app(dir.path(), arguments);
        ASSERT_TRUE(app.waitFor("Window ")) << app.errors();
        const std::string shown = app.screenAfter("show");
        const std::string window =
            "Window " + std::to_string(c.pointsWidth) + "x" + std::to_string(c.pointsHeight) + "\n";
        EXPECT_EQ(shown.rfind(window, 0), 0u) << shown.substr(0, 200);

        const auto placed = windowOnScreen(screen.display(), "Reelhaven");
        EXPECT_EQ(placed.width, c.width);
        EXPECT_EQ(placed.height, c.height);
        EXPECT_GE(placed.x, 0);
        EXPECT_GE(placed.y, 0);
        EXPECT_LE(placed.x + placed.width, c.screenWidth);
        EXPECT_LE(placed.y + placed.height, c.screenHeight);
        // A click lands where the app laid out what it clicks: the gear opens the settings.
        const auto gear = std::regex("BarButtonItem (#\\d+) left sym:gear");
        std::smatch found;
        ASSERT_TRUE(std::regex_search(shown, found, gear)) << shown;
        EXPECT_NE(app.screenAfter("click " + found[1].str()).find("NavigationBar \"Settings\""), std::string::npos);
        EXPECT_EQ(app.finish(), 0) << app.errors();
    }
}

}  // namespace

// The window's size reaches every presented screen: a resized window lays the player out for its
// new size, so a click on the player's close button closes it, and the window never gets smaller
// than the size at which the player's bottom bar still has room for every control. The launcher
// runs with `--display` a command at a time, each click going through the window's pointer.
// Without a display (the display stage runs these under Xvfb) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/display_stage.h"
#include "support/launcher_process.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

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

}  // namespace

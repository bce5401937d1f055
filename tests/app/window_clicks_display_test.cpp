// A person's clicks in the window act on controls as touches do: a settings switch flips and is
// stored, the video menu's segment switches its list, a held button opens its menu. The launcher
// runs with `--display` a command at a time, each click going through the window's pointer (the
// desktop's event queue) and the one touch path. Without a display (the display stage runs these
// under Xvfb) the cases skip.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "support/display_stage.h"
#include "support/launcher_process.h"
#include "support/stored_defaults.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;

class WindowClicksDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(home / "Documents");
        fs::copy_file(testing_support::testMedia("three-chapters.mkv"), home / "Documents" / "three-chapters.mkv");
        process.emplace(dir.path(), std::vector<std::string>{"--home", home.string(), "--display", "--no-restore"});
        ASSERT_TRUE(process->waitFor("Window ")) << process->errors();
    }

    // Runs one command; the screen it left.
    std::string run(const std::string& command) {
        process->send(command);
        process->send("wait 0");
        if (!process->waitFor("\nWindow ")) return {};
        auto screen = process->waitFor("\nWindow ");
        return screen ? "Window " + *screen : std::string();
    }
    // The handle of the first element of class `kind` whose line goes on as `pattern` says.
    static std::string handle(const std::string& screen, const std::string& kind, const std::string& pattern) {
        std::smatch found;
        if (!std::regex_search(screen, found, std::regex(kind + " #(\\d+) " + pattern))) return {};
        return "#" + found[1].str();
    }
    nlohmann::json defaults() const { return testing_support::storedDefaults(home); }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
    std::optional<testing_support::LauncherProcess> process;
};

TEST_F(WindowClicksDisplay, AClickOnASettingsSwitchFlipsItAndStoresTheSetting) {
    // The gear at the bar's left, by its handle: the click lands where the window draws it.
    const auto gear = handle(run("show"), "BarButtonItem", "left sym:gear");
    ASSERT_FALSE(gear.empty()) << process->output();
    const auto settings = run("click " + gear);
    ASSERT_NE(settings.find("NavigationBar \"Settings\""), std::string::npos) << settings << process->errors();
    // The first switch of the screen: "Continue Audio in Background", on by default.
    const auto toggle = handle(settings, "Switch", "[^\\n]* on\\n");
    ASSERT_FALSE(toggle.empty()) << settings << process->errors();
    const auto after = run("click " + toggle);
    EXPECT_TRUE(std::regex_search(after, std::regex("Switch " + toggle + " [^\\n]* off\\n"))) << after;
    EXPECT_EQ(process->finish(), 0) << process->errors();
    EXPECT_TRUE(defaults().contains("CONTINUE_AUDIO_BACKGROUND")) << defaults().dump();
    EXPECT_EQ(defaults().value("CONTINUE_AUDIO_BACKGROUND", true), false) << defaults().dump();
}

TEST_F(WindowClicksDisplay, ClicksSwitchTheVideoMenuToChaptersAndAHeldButtonOpensItsMenu) {
    run("click \"three-chapters\"");
    run("screenshot " + (dir / "playing.png").string());  // once the picture shows
    // Paused first, so bars a click brings up stay up however long the machine takes between two
    // commands (the window's clock is real); a click on the picture shows them, or hides them when
    // they already show, so it is clicked until they do.
    run("key space");
    std::string shown = run("show");
    for (int look = 0; look < 50 && handle(shown, "Button", "[^\\n]*sym:list.and.film").empty(); ++look)
        shown = run("click 195 150");
    const auto menu = handle(shown, "Button", "[^\\n]*sym:list.and.film");
    ASSERT_FALSE(menu.empty()) << shown << process->errors();
    const auto opened = run("click " + menu);
    ASSERT_NE(opened.find("segments [\"Playlist\"] \"Chapters\""), std::string::npos) << opened;
    const auto chapters = run("click \"Chapters\"");
    EXPECT_NE(chapters.find("segments \"Playlist\" [\"Chapters\"]"), std::string::npos) << chapters;
    EXPECT_NE(chapters.find("\"Middle\""), std::string::npos) << chapters;

    // The screenshot button's menu is not its primary action: a held press opens it with its three
    // entries (the host's `menu` holds the finger down through the same touch path; the mouse's
    // own hold is InputTest's, on a manual clock).
    const auto screenshot = handle(chapters, "Button", "[^\\n]*menu when held");
    ASSERT_FALSE(screenshot.empty()) << chapters;
    const auto held = run("menu " + screenshot);
    EXPECT_NE(held.find("\"Without Subtitles\""), std::string::npos) << held << process->errors();
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

}  // namespace

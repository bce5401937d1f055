// The player's popovers operated as a person operates them, through the host's commands on the
// app running in this process (real container, library, player and mpv; the manual clock): every
// control is reached by touches, and what it changed is read from the printed screen, from mpv
// and from the defaults file.

#include <gtest/gtest.h>

#include <future>
#include <regex>
#include <set>
#include <sstream>

#include "app/app_host.h"
#include "app/scene_delegate.h"
#include "controls/options_popover_view_controller.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/display/symbol_icons.h"
#include "platform/foundation/container.h"
#include "platform/foundation/json.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/photo_library.h"
#include "platform/ui/scenes/window_scene.h"
#include "playback/model/playback_info.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_view_controller.h"
#include "support/stored_defaults.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using Outcome = HostSession::Outcome;

class HostPlayerControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::PhotoLibrary::shared().reset();
        ui::PhotoLibrary::shared().setFolder(dir / "photos");
        fs::create_directories(dir / "photos");
        fs::create_directories(home / "Documents");
        fs::copy_file(testing_support::testMedia("three-chapters.mkv"), home / "Documents" / "three-chapters.mkv");
        LauncherOptions options;
        options.home = home;
        options.script = "script";  // prints only on `show`
        host = std::make_unique<AppHost>(options, out, err);
        ASSERT_TRUE(host->start()) << err.str();
    }
    void TearDown() override {
        if (host) host->shutDown();
        ui::Application::shared().reset();
        ui::PhotoLibrary::shared().reset();
    }

    // Plays the clip from the grid, as a person does, paused once mpv has loaded it (so the
    // controls stay up) unless `playing`, with the controls showing.
    void play(bool playing = false) {
        ASSERT_EQ(command("tap \"three-chapters\""), Outcome::done) << err.str();
        ASSERT_TRUE(player());
        ASSERT_TRUE(loop.runUntil(
            [&] {
                auto info = player()->playbackInfo();
                return player()->session()->hasLoaded(*info) && info->duration() && info->chapters().size() == 3;
            },
            std::chrono::seconds(60)))
            << "the clip did not load";
        if (!playing) {
            ASSERT_EQ(command("key space"), Outcome::done) << err.str();
        }
        if (handleOf("Button", "sym:switch.2").empty()) {
            ASSERT_EQ(command("tap " + handleOf("View", "<ReelhavenViewController>")), Outcome::done) << err.str();
        }
    }

    std::shared_ptr<ReelhavenViewController> player() const {
        auto delegate = std::dynamic_pointer_cast<SceneDelegate>(host->scene()->delegate());
        return delegate ? delegate->presentedPlayer() : nullptr;
    }
    Outcome command(const std::string& line) { return host->session().executeLine(line); }
    std::string screen() {
        out.str({});
        EXPECT_EQ(command("show"), Outcome::done) << err.str();
        return out.str();
    }
    // The handle of the first element of `kind` whose line goes on with `rest`; empty when none.
    std::string handleOf(const std::string& kind, const std::string& rest) {
        std::smatch match;
        const auto text = screen();
        if (!std::regex_search(text, match, std::regex(kind + " (#\\d+) [^\n]*" + rest))) return {};
        return match[1];
    }
    bool controlsShow() { return screen().find("VideoControlView 0,0 390x844\n") != std::string::npos; }
    std::optional<std::string> mpvProperty(const char* name) {
        auto session = player()->session();
        return session->commandQueue()->syncValue([&] { return session->stringProperty(name); });
    }
    foundation::Json defaults() const { return testing_support::storedDefaults(home); }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir dir;
    fs::path home = dir / "home";
    foundation::ScopedContainer container{home};
    std::ostringstream out, err;
    std::unique_ptr<AppHost> host;
};

TEST_F(HostPlayerControlsTest, EverySymbolTheOpenedScreensShowHasADrawingOfItsOwn) {
    std::set<std::string> symbols;
    auto collect = [&] {
        const auto text = screen();
        const std::regex symbol("sym:([A-Za-z0-9.]+)");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), symbol); it != std::sregex_iterator(); ++it)
            symbols.insert((*it)[1]);
    };
    auto tapAndCollect = [&](const std::string& kind, const std::string& rest) {
        const auto handle = handleOf(kind, rest);
        ASSERT_FALSE(handle.empty()) << "no " << kind << " " << rest << " in\n" << screen();
        ASSERT_EQ(command("tap " + handle), Outcome::done) << err.str();
        collect();
    };
    collect();  // the library
    ASSERT_NO_FATAL_FAILURE(tapAndCollect("BarButtonItem", "sym:gear"));
    ASSERT_EQ(command("back"), Outcome::done) << err.str();
    ASSERT_NO_FATAL_FAILURE(play());
    collect();
    ASSERT_NO_FATAL_FAILURE(tapAndCollect("Button", "sym:switch.2"));
    // The options' lower rows, scrolled into view.
    std::smatch list;
    const auto shown = screen();
    ASSERT_TRUE(
        std::regex_search(shown, list, std::regex("<OptionsPopoverViewController>[\\s\\S]*?CollectionView (#\\d+)")))
        << shown;
    const std::string options = list[1];
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(command("swipe " + options + " up"), Outcome::done) << err.str();
        collect();
    }
    // Each popover closed as the next opens (its own close is not what this looks at).
    auto close = [&] {
        player()->presentedViewController()->dismiss(false);
        loop.runUntilIdle();
    };
    close();
    ASSERT_NO_FATAL_FAILURE(tapAndCollect("Button", "sym:captions.bubble"));
    close();
    ASSERT_NO_FATAL_FAILURE(tapAndCollect("Button", "sym:list.and.film"));

    // What the issue saw missing shows among them, so the walk reached the rows that use them.
    for (const char* expected : {"speedometer", "repeat", "stopwatch", "textformat.size", "gobackward.15"})
        EXPECT_TRUE(symbols.count(expected)) << expected << " was not on the opened screens";
    for (const auto& name : symbols) {
        auto* surface = display::SymbolIcons::shared().surface(name, 32);
        ASSERT_TRUE(surface) << name << " has no drawing";
        cairo_surface_flush(surface);
        const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const auto* data = cairo_image_surface_get_data(surface);
        int inked = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) inked += data[y * stride + x * 4 + 3] > 128;
        EXPECT_GT(inked, width * height / 40) << name << " draws next to nothing";
    }
}

TEST_F(HostPlayerControlsTest, ATouchOnTheBarsGoesThroughThePlayersFilterAndKeepsThemUp) {
    ASSERT_NO_FATAL_FAILURE(play(true));
    ASSERT_TRUE(controlsShow());
    ASSERT_EQ(command("wait 3"), Outcome::done);
    // The touch on a bar button restarts the controls' four seconds, as the player's filter of
    // the touches its recognisers receive does.
    ASSERT_EQ(command("tap " + handleOf("Button", "sym:goforward")), Outcome::done) << err.str();
    ASSERT_EQ(command("wait 3"), Outcome::done);
    EXPECT_TRUE(controlsShow()) << screen();
    ASSERT_EQ(command("wait 1.5"), Outcome::done);
    EXPECT_FALSE(controlsShow()) << screen();
}

TEST_F(HostPlayerControlsTest, APopoverThePlayerOpensAfterAskingMpvShowsAfterTheTouchThatAskedForIt) {
    ASSERT_NO_FATAL_FAILURE(play());
    const auto options = handleOf("Button", "sym:switch.2");
    // mpv slow to answer: the player's command queue is held from before the touch until the
    // main queue runs again, which the host does only once the touch has been delivered.
    std::promise<void> held, answer;
    player()->session()->commandQueue()->async([&held, &answer, later = answer.get_future().share()] {
        dispatch::Queue::main()->async([&answer] { answer.set_value(); });
        held.set_value();
        later.wait();
    });
    held.get_future().wait();
    ASSERT_EQ(command("tap " + options), Outcome::done) << err.str();
    // The options popover asks whether the frame is interlaced before it opens; it is up when
    // the command returns, not at some later look.
    EXPECT_TRUE(std::dynamic_pointer_cast<OptionsPopoverViewController>(player()->presentedViewController()));
    EXPECT_NE(screen().find("<OptionsPopoverViewController>"), std::string::npos) << screen();
}

TEST_F(HostPlayerControlsTest, TheSpeedStepperRaisesTheSpeedOneStepInTheRowAndInMpv) {
    ASSERT_NO_FATAL_FAILURE(play());
    ASSERT_EQ(command("tap " + handleOf("Button", "sym:switch.2")), Outcome::done) << err.str();
    const auto speed = handleOf("Stepper", "value 1 of 0.1..4");
    ASSERT_FALSE(speed.empty()) << screen();
    EXPECT_NE(screen().find("\"1×\""), std::string::npos);

    ASSERT_EQ(command("step " + speed + " up"), Outcome::done) << err.str();
    const auto shown = screen();
    EXPECT_TRUE(std::regex_search(shown, std::regex("\"1\\.1×\"\n[^\n]*Stepper " + speed))) << shown;
    EXPECT_NEAR(std::stod(mpvProperty("speed").value_or("0")), 1.1, 1e-9);
    EXPECT_NEAR(player()->playbackInfo()->playbackSpeed().value_or(0), 1.1, 1e-9);

    ASSERT_EQ(command("step " + speed + " down"), Outcome::done) << err.str();
    EXPECT_NE(screen().find("\"1×\""), std::string::npos);
    EXPECT_NEAR(std::stod(mpvProperty("speed").value_or("0")), 1.0, 1e-9);
}

TEST_F(HostPlayerControlsTest, TheDelayStepperAndTheSkipSegmentsStoreWhatIsTouched) {
    ASSERT_NO_FATAL_FAILURE(play());
    ASSERT_EQ(command("tap " + handleOf("Button", "sym:switch.2")), Outcome::done) << err.str();

    // The interval's segment is touched by its title; the defaults file and the bar follow.
    ASSERT_EQ(command("tap \"30\""), Outcome::done) << err.str();
    EXPECT_EQ(defaults().value("SKIP_INTERVAL", ""), "30") << defaults().dump();
    EXPECT_NE(screen().find("segments \"5\" \"10\" \"15\" [\"30\"]"), std::string::npos) << screen();
    EXPECT_FALSE(handleOf("Button", "sym:goforward.30").empty()) << screen();
    // Touching the chosen segment again changes nothing, and says so.
    EXPECT_EQ(command("tap \"30\""), Outcome::failed);

    // The delay row lies further down the list.
    const auto list = handleOf("<OptionsPopoverViewController>[^\n]*\n(?:[^\n]*\n)*?\\s*CollectionView", "");
    ASSERT_EQ(command("swipe " + list + " up"), Outcome::done) << err.str();
    const auto delay = handleOf("Stepper", "value 0 of -5..5");
    ASSERT_FALSE(delay.empty()) << screen();
    ASSERT_EQ(command("step " + delay + " down"), Outcome::done) << err.str();
    EXPECT_NE(screen().find("\"-0.5s\""), std::string::npos) << screen();
    EXPECT_EQ(defaults().value("SUBTITLE_DELAY", 0.0), -0.5) << defaults().dump();
    EXPECT_NEAR(std::stod(mpvProperty("sub-delay").value_or("0")), -0.5, 1e-9);
}

TEST_F(HostPlayerControlsTest, TheVideoMenuSwitchesToChaptersAndATouchedChapterPlays) {
    ASSERT_NO_FATAL_FAILURE(play());
    ASSERT_EQ(command("tap " + handleOf("Button", "sym:list.and.film")), Outcome::done) << err.str();
    EXPECT_NE(screen().find("segments [\"Playlist\"] \"Chapters\""), std::string::npos) << screen();

    ASSERT_EQ(command("tap \"Chapters\""), Outcome::done) << err.str();
    EXPECT_NE(screen().find("segments \"Playlist\" [\"Chapters\"]"), std::string::npos) << screen();
    EXPECT_EQ(player()->playbackInfo()->videoMenuTab(), VideoMenuListType::chapters);
    ASSERT_EQ(command("tap \"Middle\""), Outcome::done) << err.str();
    EXPECT_EQ(mpvProperty("chapter"), "1");
    ASSERT_TRUE(loop.runUntil([&] { return player()->playbackInfo()->currentChapter() == 1; }));
    EXPECT_TRUE(std::regex_search(screen(), std::regex("\\[0,1\\] selected\n(?:[^\n]*\n){4}[^\n]*\"Middle\"")))
        << screen();
}

TEST_F(HostPlayerControlsTest, HoldingTheScreenshotButtonOpensItsMenuAndAChoiceTakesTheScreenshot) {
    ASSERT_NO_FATAL_FAILURE(play());
    ASSERT_EQ(command("tap " + handleOf("Button", "sym:list.and.film")), Outcome::done) << err.str();
    const auto button = handleOf("Button", "\"Save Screenshot [^\n]*menu when held");
    ASSERT_FALSE(button.empty()) << screen();

    ASSERT_EQ(command("menu " + button), Outcome::done) << err.str();
    const auto menu = screen();
    EXPECT_NE(menu.find("MenuAction #"), std::string::npos) << menu;
    EXPECT_NE(menu.find("\"With Subtitles\""), std::string::npos) << menu;
    ASSERT_EQ(command("choose \"Without Subtitles\""), Outcome::done) << err.str();
    EXPECT_EQ(screen().find("MenuAction #"), std::string::npos);
    // The choice took a screenshot; the button, disabled while it is saved, comes back after.
    ASSERT_TRUE(
        loop.runUntil([&] { return ui::PhotoLibrary::shared().savedImages().size() == 1; }, std::chrono::seconds(60)));
    ASSERT_TRUE(loop.runUntil([&] { return handleOf("Button", "\"Save Screenshot [^\n]*disabled").empty(); },
                              std::chrono::seconds(60)))
        << screen();
    EXPECT_FALSE(handleOf("Button", "\"Save Screenshot [^\n]*menu when held").empty()) << screen();
}

}  // namespace
}  // namespace reelhaven

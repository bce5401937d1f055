// The settings screens reached as the user reaches them: the app run by its host in this process
// on a real container, driven through the host's commands and read from its printed screen.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "app/app_host.h"
#include "core/ffmpeg_utility.h"
#include "core/progress_client.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/foundation/json.h"
#include "platform/foundation/url.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/views/window.h"
#include "settings/settings_table_view_controller.h"
#include "settings/settings_work_queue.h"
#include "support/stored_defaults.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;

class AppHostSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LauncherOptions options;
        options.home = home;
        options.script = "script";  // prints only on `show`, so `out` holds one screen per show
        host = std::make_unique<AppHost>(options, out, err);
        ASSERT_TRUE(host->start()) << err.str();
    }
    void TearDown() override {
        if (host) host->shutDown();
        ui::Application::shared().reset();
    }

    HostSession::Outcome command(const std::string& line) { return host->session().executeLine(line); }

    // The screen as the host prints it now.
    std::string screen() {
        out.str({});
        EXPECT_EQ(command("show"), HostSession::Outcome::done);
        return out.str();
    }

    // The handle ("#n") of the first thing on screen whose line ends in `pattern`, or of the first
    // one whose line does so right below a line that matches `above`; empty when none does.
    std::string handleOf(const std::string& pattern, const std::string& above = {}) {
        const std::regex line((above.empty() ? "" : above + ".*\\n.*") + "#(\\d+).* " + pattern + "\\n");
        std::smatch match;
        const auto text = screen();
        if (!std::regex_search(text, match, line)) return {};
        return "#" + match[1].str();
    }

    std::shared_ptr<SettingsTableViewController> shownSettings() const {
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(host->window()->rootViewController());
        return navigation ? std::dynamic_pointer_cast<SettingsTableViewController>(navigation->topViewController())
                          : nullptr;
    }

    foundation::Json storedDefaults() const { return testing_support::storedDefaults(home); }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir dir;
    fs::path home = dir / "home";
    foundation::ScopedContainer container{home};
    std::ostringstream out, err;
    std::unique_ptr<AppHost> host;
};

TEST_F(AppHostSettingsTest, TheGearOnTheRootScreenOpensTheSettingsWithTheirRows) {
    const auto gear = handleOf("left sym:gear");
    ASSERT_FALSE(gear.empty()) << screen();
    ASSERT_EQ(command("tap " + gear), HostSession::Outcome::done) << err.str();

    const auto shown = screen();
    EXPECT_NE(shown.find("NavigationBar \"Settings\""), std::string::npos) << shown;
    for (const char* row : {"Storage Usage", "Library", "Playback", "Languages", "Continue Audio in Background",
                            "Interface", "Gestures", "Prefer Landscape", "Feedback", "Rate Reelhaven"})
        EXPECT_NE(shown.find(row), std::string::npos) << row << "\n" << shown;
    auto settings = shownSettings();
    ASSERT_TRUE(settings);
    EXPECT_TRUE(settings->videoManager());
    EXPECT_TRUE(settings->progressClient());

    // Back on the root screen, the library is as it was.
    ASSERT_EQ(command("back"), HostSession::Outcome::done) << err.str();
    EXPECT_FALSE(shownSettings());
    EXPECT_NE(screen().find("NavigationBar \"Library\""), std::string::npos);
}

TEST_F(AppHostSettingsTest, SwitchesTappedOnTheSettingsScreenWriteTheirKeysToTheDefaultsFile) {
    ASSERT_EQ(command("tap " + handleOf("left sym:gear")), HostSession::Outcome::done) << err.str();
    EXPECT_FALSE(storedDefaults().contains("REDUCE_HAPTICS"));
    EXPECT_FALSE(storedDefaults().contains("CONTINUE_AUDIO_BACKGROUND"));

    const auto haptics = handleOf("off", "\"Reduce Haptics\"");
    ASSERT_FALSE(haptics.empty()) << screen();
    ASSERT_EQ(command("tap " + haptics), HostSession::Outcome::done) << err.str();
    EXPECT_EQ(storedDefaults().value("REDUCE_HAPTICS", false), true) << storedDefaults().dump();
    EXPECT_FALSE(handleOf("on", "\"Reduce Haptics\"").empty()) << screen();

    // Continuing audio is on until the user turns it off.
    const auto audio = handleOf("on", "\"Continue Audio in Background\"");
    ASSERT_FALSE(audio.empty()) << screen();
    ASSERT_EQ(command("tap " + audio), HostSession::Outcome::done) << err.str();
    EXPECT_EQ(storedDefaults().value("CONTINUE_AUDIO_BACKGROUND", true), false) << storedDefaults().dump();
    EXPECT_EQ(storedDefaults().value("REDUCE_HAPTICS", false), true);
}

TEST_F(AppHostSettingsTest, TheGestureSwitchesShowOnTheirRowsAndWriteTheirKeys) {
    ASSERT_EQ(command("tap " + handleOf("left sym:gear")), HostSession::Outcome::done) << err.str();
    ASSERT_EQ(command("tap \"Gestures\""), HostSession::Outcome::done) << err.str();
    const auto shown = screen();
    ASSERT_NE(shown.find("NavigationBar \"Gestures\""), std::string::npos) << shown;
    // Every gesture that can be turned off has its switch on its row, on until the user says so.
    for (const char* row : {"Seek", "Play or Pause", "Volume", "Brightness"})
        EXPECT_FALSE(handleOf("on", "\"" + std::string(row) + "\".*\\n.*").empty()) << row << "\n" << shown;

    const std::pair<const char*, const char*> switches[] = {{"Seek", "SEEK_GESTURES"},
                                                            {"Play or Pause", "PLAY_PAUSE_TAP_GESTURES"},
                                                            {"Volume", "VOLUME_GESTURES"},
                                                            {"Brightness", "BRIGHTNESS_GESTURES"}};
    for (const auto& [row, key] : switches) {
        const std::string label = "\"" + std::string(row) + "\".*\\n.*";
        EXPECT_FALSE(storedDefaults().contains(key)) << key;
        const auto toggle = handleOf("on", label);
        ASSERT_FALSE(toggle.empty()) << row << "\n" << screen();
        ASSERT_EQ(command("tap " + toggle), HostSession::Outcome::done) << err.str();
        EXPECT_EQ(storedDefaults().value(key, true), false) << key << " " << storedDefaults().dump();
        EXPECT_FALSE(handleOf("off", label).empty()) << row << "\n" << screen();
    }
    // The pinch cannot be turned off: its row has no switch to tap.
    EXPECT_TRUE(handleOf("(on|off)", "\"Change aspect ratio\".*\\n.*").empty()) << screen();
}

// A library with one video watched to 12 s before its end, shown by a host whose settings work
// runs on a queue the test can wait for.
class AppHostStorageTest : public AppHostSettingsTest {
protected:
    void SetUp() override {
        const auto film = home / "Documents" / "Film.mp4";
        fs::create_directories(film.parent_path());
        fs::copy_file(testing_support::testMedia("long.mp4"), film);
        const double length = FFmpegUtility::getDurationForFile(film.string());
        ASSERT_GT(length, 60);
        const auto key = ProgressClient::progressKey(foundation::URL::fileURLWithPath(film.string()));
        fs::create_directories(progressFile.parent_path());
        testing_support::writeFile(progressFile, R"({")" + key + R"(":{"progress":{"seconds":)" +
                                                     foundation::Json(length - 12).dump() +
                                                     R"(},"duration":{"seconds":)" + foundation::Json(length).dump() +
                                                     R"(},"isFinished":false}})");
        AppHostSettingsTest::SetUp();
    }

    fs::path progressFile = home / "Library/Application Support/progressData";
    std::shared_ptr<dispatch::Queue> work = dispatch::Queue::create("settings.test.work");
    ScopedSettingsWorkQueue installed{work};
};

// The user deletes the cached data (the gear, Storage, the row, the alert's Confirm) and goes
// back: the library's cell no longer says how much of the video is left, as its progress is gone.
TEST_F(AppHostStorageTest, DeletingCachedDataTakesTheTimeLeftOffTheLibrarysCells) {
    ASSERT_NE(screen().find("0:12 Left"), std::string::npos) << screen();
    ASSERT_EQ(command("tap " + handleOf("left sym:gear")), HostSession::Outcome::done) << err.str();
    // The storage row: the first section's only row.
    const auto storage = handleOf("\\[0,0\\] disclosure");
    ASSERT_FALSE(storage.empty()) << screen();
    ASSERT_EQ(command("tap " + storage), HostSession::Outcome::done) << err.str();
    ASSERT_NE(screen().find("NavigationBar \"Storage\""), std::string::npos) << screen();
    ASSERT_EQ(command("tap \"Delete Cached Data\""), HostSession::Outcome::done) << err.str();
    ASSERT_EQ(command("alert \"Confirm\""), HostSession::Outcome::done) << err.str();
    work->sync([] {});  // the deletion, which hands the library's listing to its manager
    EXPECT_FALSE(fs::exists(progressFile));

    ASSERT_EQ(command("back"), HostSession::Outcome::done) << err.str();
    ASSERT_EQ(command("back"), HostSession::Outcome::done) << err.str();
    const auto shown = screen();
    ASSERT_NE(shown.find("NavigationBar \"Library\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("Film"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Left"), std::string::npos) << shown;
}

}  // namespace
}  // namespace reelhaven

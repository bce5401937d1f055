// Every screen of the app opened through the host's commands, as a person would reach it, on a
// phone and on a pad: none may leave its layout undecided or break a constraint. Also the play
// sheet and the font picker used and left through the host.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "app/app_host.h"
#include "app/scene_delegate.h"
#include "controls/bottom_control_view.h"
#include "controls/options_popover_view_controller.h"
#include "controls/options_row_kinds.h"
#include "controls/top_control_view.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "in_process_host.h"
#include "library/library_file_collection_view_controller.h"
#include "library/open_url_hosting_controller.h"
#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/ui/controllers/font_picker_view_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/window.h"
#include "playback/model/playback_info.h"
#include "playback/reelhaven_view_controller.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
class AppHostScreensTest : public ::testing::TestWithParam<LauncherOptions::Device>,
                           protected InProcessHost<dispatch::ScopedMainRunLoop> {
protected:
    void SetUp() override {
        fs::create_directories(documents / "Shows");
        fs::create_directories(documents / "Empty");
        // Two audio tracks, a subtitle track (the options show their subtitle rows) and chapters.
        fs::copy_file(testing_support::testMedia("chapters.mkv"), documents / "Clip.mkv");
        fs::copy_file(testing_support::testMedia("wide.mp4"), documents / "Shows" / "Episode.mp4");
        Preferences::shared().playExternalFileIndex.setWrappedValue(0);
        subtitleFontBefore = Preferences::shared().subtitleFont.wrappedValue();
        ASSERT_TRUE(launch(launchOptions())) << err.str();
    }
    void TearDown() override {
        closePlayer();
        shutDown();
        Preferences::shared().playExternalFileIndex.setWrappedValue(0);
        // Restored even when a test stops early, so a font a test chose is not the next test's.
        Preferences::shared().subtitleFont.setWrappedValue(subtitleFontBefore);
    }

    static LauncherOptions launchOptions() {
        LauncherOptions options;
        options.device = GetParam();
        options.restore = false;
        options.script = "script";  // prints only on `show`
        return options;
    }
    // Notes the screen now shown: what the layout said since the last one belongs to it.
    void reached(const std::string& screen) {
        host->session().settle();
        host->window()->layoutIfNeeded();
        for (auto& warning : pending) warnings.push_back(screen + ": " + warning);
        pending.clear();
    }
    // The clip's player once mpv has told it the clip's tracks, with its controls showing.
    void openPlayer() {
        ASSERT_TRUE(command("tap \"Clip\""));
        ASSERT_TRUE(player());
        ASSERT_TRUE(waitFor([&] { return player()->playbackInfo()->subtitleTracks().size() >= 2; }));
        if (player()->controlView()->isHidden()) {
            ASSERT_TRUE(command("tap " + handleOf(player()->view().get())));
        }
    }
    // The player's bars let touches through beside its popovers; the popover is closed as its
    // presentation ends.
    void closePopover() {
        if (auto popover = player()->presentedViewController()) popover->dismiss(true);
        host->session().settle();
    }
    // The player's popover that `button` opens, after mpv's round trip.
    void openPopover(const std::shared_ptr<ui::View>& button, const std::string& name) {
        ASSERT_TRUE(command("tap " + handleOf(button.get())));
        ASSERT_TRUE(waitFor([&] { return player()->presentedViewController() != nullptr; })) << name;
        reached(name);
        closePopover();
        ASSERT_TRUE(waitFor([&] { return player()->presentedViewController() == nullptr; })) << name;
        // The controls hide a while after a popover closes; show them again for the next one.
        if (player()->controlView()->isHidden()) {
            ASSERT_TRUE(command("tap " + handleOf(player()->view().get())));
        }
    }

    std::vector<std::string> pending, warnings;
    base::ScopedLogSink sink{[this](base::LogLevel level, std::string_view category, std::string_view message) {
        if (level >= base::LogLevel::warning && category == "layout") pending.emplace_back(message);
    }};
    std::string subtitleFontBefore;
};

std::string deviceName(const ::testing::TestParamInfo<LauncherOptions::Device>& info) {
    return info.param == LauncherOptions::Device::pad ? "Pad" : "Phone";
}

TEST_P(AppHostScreensTest, EveryScreenLaysOutWithoutAWarning) {
    reached("library");
    ASSERT_TRUE(command("search \"Clip\""));
    reached("search");
    ASSERT_TRUE(command("cancel"));
    ASSERT_TRUE(command("tap \"Shows\""));
    reached("folder");
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("tap \"Empty\""));
    reached("empty folder");
    ASSERT_TRUE(command("back"));

    ASSERT_TRUE(command("tap " + handleOf(root()->editButton().get())));
    reached("edit");
    ASSERT_TRUE(command("tap \"Clip\""));
    ASSERT_TRUE(command("tap \"Move\""));
    reached("move sheet");
    ASSERT_TRUE(command("tap \"Cancel\""));
    ASSERT_TRUE(command("tap \"Done\""));

    ASSERT_TRUE(command("tap " + handleOf(root()->playButton().get())));
    reached("play sheet, file page");
    ASSERT_TRUE(command("tap \"Play URL\""));
    reached("play sheet, address page");
    ASSERT_TRUE(command("tap \"Cancel\""));

    ASSERT_TRUE(command("tap " + handleOf(root()->importButton().get())));
    reached("import menu");
    ASSERT_TRUE(command("tap \"Import from Files\""));
    reached("import picker");
    ASSERT_TRUE(command("cancel"));

    ASSERT_TRUE(command("tap " + handleOf(root()->settingsButton().get())));
    reached("settings");
    // The storage row shares its title with the back button: it is touched by its handle.
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(host->window()->rootViewController());
    auto settings = std::dynamic_pointer_cast<ui::TableViewController>(navigation->topViewController());
    ASSERT_TRUE(settings);
    ASSERT_TRUE(command("tap " + handleOf(settings->tableView()->cellForRow({0, 0}).get())));
    reached("settings: storage");
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("tap \"Languages\""));
    reached("settings: languages");
    ASSERT_TRUE(command("tap \"Subtitle Language\""));
    reached("settings: language picker");
    ASSERT_TRUE(command("tap \"English\""));  // chosen, the sheet closes
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("tap \"Gestures\""));
    reached("settings: gestures");
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("back"));

    ASSERT_NO_FATAL_FAILURE(openPlayer());
    reached("player");
    auto controls = player()->controlView();
    ASSERT_NO_FATAL_FAILURE(openPopover(controls->bottomControlView()->optionsButton(), "options popover"));
    ASSERT_NO_FATAL_FAILURE(openPopover(controls->topControlView()->videoMenuButtonView()->button(), "video menu"));
    ASSERT_NO_FATAL_FAILURE(
        openPopover(controls->bottomControlView()->audioSubtitlesButton(), "audio and subtitle popover"));

    std::string all;
    for (const auto& warning : warnings) all += "\n" + warning;
    EXPECT_TRUE(warnings.empty()) << all;
}

TEST_P(AppHostScreensTest, TheEmptyLibraryLaysOutWithoutAWarning) {
    shutDown();
    fs::remove_all(documents);
    fs::create_directories(documents);
    ASSERT_TRUE(launch(launchOptions())) << err.str();
    reached("empty library");
    EXPECT_NE(driver().screen().find("No Videos Yet"), std::string::npos) << driver().screen();
    std::string all;
    for (const auto& warning : warnings) all += "\n" + warning;
    EXPECT_TRUE(warnings.empty()) << all;
}

TEST_P(AppHostScreensTest, ThePlaySheetSwitchesPagesPlaysATypedAddressAndCanBeLeft) {
    ASSERT_TRUE(command("tap " + handleOf(root()->playButton().get())));
    auto sheet = std::dynamic_pointer_cast<ui::NavigationController>(root()->presentedViewController());
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(root()->openPicker()->view()->window()) << "the file page shows";
    // The file page is left by cancelling its picker.
    ASSERT_TRUE(command("cancel"));
    EXPECT_EQ(root()->presentedViewController(), nullptr);

    ASSERT_TRUE(command("tap " + handleOf(root()->playButton().get())));
    ASSERT_TRUE(command("tap \"Play URL\""));
    auto address = root()->openURLController();
    EXPECT_TRUE(address->view()->window()) << "the address page shows";
    EXPECT_FALSE(root()->openPicker()->view()->window());
    EXPECT_EQ(Preferences::shared().playExternalFileIndex.wrappedValue(), 1);
    // "Cancel" on the address page leaves the sheet.
    ASSERT_TRUE(command("tap \"Cancel\""));
    EXPECT_EQ(root()->presentedViewController(), nullptr);

    // It opens again on the address page; a typed address plays.
    ASSERT_TRUE(command("tap " + handleOf(root()->playButton().get())));
    EXPECT_TRUE(address->view()->window());
    // A server that takes the connection and never answers: the player stays up, waiting for it.
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_in address4{};
    address4.sin_family = AF_INET;
    address4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address4);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address4), length), 0);
    ASSERT_EQ(::listen(server, 4), 0);
    ASSERT_EQ(::getsockname(server, reinterpret_cast<sockaddr*>(&address4), &length), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address4.sin_port)) + "/clip.mp4";
    ASSERT_TRUE(command("type " + handleOf(address->rootView()->addressField().get()) + " \"" + url + "\""));
    ASSERT_TRUE(command("tap " + handleOf(address->rootView()->playButton().get())));
    // The player comes 0.1 s after the sheet has gone.
    ASSERT_TRUE(command("wait 0.5"));
    auto shown = std::dynamic_pointer_cast<ReelhavenViewController>(root()->presentedViewController());
    ASSERT_TRUE(shown) << driver().screen();
    EXPECT_EQ(shown->playbackInfo()->url().absoluteString(), url);
    shown->close(false);
    if (auto session = shown->session()) session->commandQueue()->sync([] {});
    ::close(server);
}

TEST_P(AppHostScreensTest, TheFontPickerChoosesAFontAndCanBeCancelled) {
    ASSERT_NO_FATAL_FAILURE(openPlayer());
    ASSERT_TRUE(command("tap " + handleOf(player()->controlView()->bottomControlView()->optionsButton().get())));
    ASSERT_TRUE(waitFor([&] { return player()->presentedViewController() != nullptr; }));
    auto options = std::dynamic_pointer_cast<OptionsPopoverViewController>(player()->presentedViewController());
    ASSERT_TRUE(options);
    // Fatal failures inside return only from the lambda: each call is wrapped.
    const auto openPicker = [&] {
        // The font row sits under the subtitles' Appearance row, near the end of the list.
        for (int step = 0; step < 4 && driver().screen().find("\"Font\"") == std::string::npos; ++step) {
            const bool expandable = driver().screen().find("\"Appearance\"") != std::string::npos &&
                                    !OptionsPopoverViewController::expansionState()[OptionsRowKind::subtitleAppearance];
            ASSERT_TRUE(command(expandable ? "tap \"Appearance\""
                                           : "swipe " + handleOf(options->collectionView().get()) + " up"));
        }
        ASSERT_TRUE(command("tap \"Font\""));
        ASSERT_TRUE(waitFor([&] {
            auto popover = player()->presentedViewController();
            return popover && std::dynamic_pointer_cast<ui::FontPickerViewController>(
                                  popover->presentedViewController()) != nullptr;
        })) << driver().screen();
    };
    const auto pickerShown = [&] {
        auto popover = player()->presentedViewController();
        return popover && popover->presentedViewController();
    };
    const auto before = Preferences::shared().subtitleFont.wrappedValue();

    ASSERT_NO_FATAL_FAILURE(openPicker());
    ASSERT_TRUE(command("cancel"));
    EXPECT_FALSE(pickerShown());
    EXPECT_EQ(Preferences::shared().subtitleFont.wrappedValue(), before);

    ASSERT_NO_FATAL_FAILURE(openPicker());
    auto picker = std::dynamic_pointer_cast<ui::FontPickerViewController>(options->presentedViewController());
    ASSERT_TRUE(picker);
    ASSERT_TRUE(command("type " + handleOf(picker->searchField().get()) + " \"Inter-SemiBold\""));
    ASSERT_EQ(picker->fontNames().front(), "Inter-SemiBold");
    ASSERT_TRUE(command("tap " + handleOf(picker->tableView()->cellForRow({0, 0}).get())));
    EXPECT_FALSE(pickerShown());
    EXPECT_EQ(Preferences::shared().subtitleFont.wrappedValue(), "Inter-SemiBold");
}

// Whether an animation still moves `layer` or a layer under it.
bool moves(const ui::Layer& layer) {
    if (layer.isAnimating()) return true;
    const auto& sublayers = layer.sublayers();
    return std::any_of(sublayers.begin(), sublayers.end(), [](const auto& sublayer) { return moves(*sublayer); });
}

// An options section opens with a short animation: the screen after the touch shows it open whole,
// nothing in the popover still on its way.
TEST_P(AppHostScreensTest, TheScreenAfterATouchShowsAnOptionsSectionOpenedWhole) {
    auto& expansion = OptionsPopoverViewController::expansionState();
    const auto expansionBefore = expansion;
    struct Restore {
        std::map<OptionsRowKind, bool>& state;
        std::map<OptionsRowKind, bool> before;
        ~Restore() { state = before; }
    } restore{expansion, expansionBefore};
    expansion[OptionsRowKind::subtitleAppearance] = false;
    ASSERT_NO_FATAL_FAILURE(openPlayer());
    ASSERT_TRUE(command("tap " + handleOf(player()->controlView()->bottomControlView()->optionsButton().get())));
    ASSERT_TRUE(waitFor([&] { return player()->presentedViewController() != nullptr; }));
    auto options = std::dynamic_pointer_cast<OptionsPopoverViewController>(player()->presentedViewController());
    ASSERT_TRUE(options);
    for (int step = 0; step < 4 && screen().find("\"Appearance\"") == std::string::npos; ++step)
        ASSERT_TRUE(command("swipe " + handleOf(options->collectionView().get()) + " up"));
    ASSERT_FALSE(moves(options->view()->layer())) << "still moving before the touch";
    ASSERT_TRUE(command("tap \"Appearance\""));
    EXPECT_TRUE(expansion[OptionsRowKind::subtitleAppearance]);
    EXPECT_FALSE(moves(options->view()->layer()));
}

INSTANTIATE_TEST_SUITE_P(Devices, AppHostScreensTest,
                         ::testing::Values(LauncherOptions::Device::phone, LauncherOptions::Device::pad), deviceName);

}  // namespace
}  // namespace reelhaven

// Every screen a person can reach, opened in a real window on a phone and a pad, upright and on
// its side, and at the window's smallest size, and looked at from its pixels and its view tree
// (window_gallery.h says what is checked). Without a display (the display stage runs these under
// Xvfb and Weston) the cases skip.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "app/app_host.h"
#include "app/scene_delegate.h"
#include "controls/bottom_control_view.h"
#include "controls/options_popover_view_controller.h"
#include "controls/top_control_view.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "library/library_file_collection_view_controller.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/foundation/container.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/window.h"
#include "playback/model/playback_info.h"
#include "playback/reelhaven_view_controller.h"
#include "support/display_stage.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "window_gallery.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using Outcome = HostSession::Outcome;

struct Shape {
    const char* name;
    LauncherOptions::Device device;
    double width, height;
    LauncherOptions::LayoutDirection direction = LauncherOptions::LayoutDirection::leftToRight;
};

void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.name; }

class WindowGalleryDisplay : public ::testing::TestWithParam<Shape> {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(documents / "Shows");
        fs::create_directories(documents / "Empty");
        // Two audio tracks, a subtitle track and chapters: the popovers show all their rows.
        fs::copy_file(testing_support::testMedia("chapters.mkv"), documents / "Clip.mkv");
        fs::copy_file(testing_support::testMedia("wide.mp4"), documents / "Shows" / "Episode.mp4");
        Preferences::shared().playExternalFileIndex.setWrappedValue(0);
        ASSERT_NO_FATAL_FAILURE(startHost());
    }
    void startHost() {
        LauncherOptions options;
        options.home = home;
        options.device = GetParam().device;
        options.size = std::pair(GetParam().width, GetParam().height);
        options.layoutDirection = GetParam().direction;
        options.restore = false;
        options.display = true;
        options.audioOutput = "null";
        options.script = "script";  // prints only on `show`
        host = std::make_unique<AppHost>(options, out, err);
        ASSERT_TRUE(host->start()) << err.str();
        inspection.emplace(*host->display(), host->window());
    }
    void TearDown() override {
        if (auto shown = player()) {
            if (shown->mpv()) shown->close(false);
            if (auto session = shown->session()) session->commandQueue()->sync([] {});
            host->session().settle();
            shown->waitForProgressSaves();
        }
        inspection.reset();
        if (host) host->shutDown();
        host.reset();
        ui::Application::shared().reset();
        ui::Device::current().setUserInterfaceLayoutDirection(ui::UserInterfaceLayoutDirection::leftToRight);
        Preferences::shared().playExternalFileIndex.setWrappedValue(0);
    }

    ::testing::AssertionResult command(const std::string& line) {
        err.str({});
        if (host->session().executeLine(line) == Outcome::done) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << line << ": " << err.str() << "\n"
                                             << ui::ScreenDriver(host->window()).screen();
    }
    std::string handleOf(const void* thing) {
        const auto screen = ui::ScreenDriver(host->window()).capture();
        for (size_t i = 0; i < screen.targets().size(); ++i) {
            const auto& target = screen.targets()[i];
            if (target.view.get() == thing || target.item.get() == thing) return "#" + std::to_string(i + 1);
        }
        ADD_FAILURE() << "not on the screen:\n" << screen.text();
        return "#0";
    }
    std::shared_ptr<LibraryFileCollectionViewController> root() const {
        auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(host->window()->rootViewController());
        return std::dynamic_pointer_cast<LibraryFileCollectionViewController>(navigation->viewControllers().at(0));
    }
    std::shared_ptr<ReelhavenViewController> player() const {
        auto delegate = host ? std::dynamic_pointer_cast<SceneDelegate>(host->scene()->delegate()) : nullptr;
        return delegate ? delegate->presentedPlayer() : nullptr;
    }
    bool waitFor(const std::function<bool()>& done) {
        return dispatch::RunLoop::main()->runUntil(
            [&] {
                host->session().settle();
                return done();
            },
            std::chrono::seconds(30));
    }
    void look(const std::string& screen) {
        host->session().settle();
        ASSERT_TRUE(waitFor([&] { return inspection->still(); })) << screen << " does not hold still";
        inspection->inspect(screen);
    }
    // Opens the player's popover that `button` opens, and looks at it.
    void openPopover(const std::shared_ptr<ui::View>& button, const std::string& name) {
        if (player()->controlView()->isHidden()) {
            ASSERT_TRUE(command("tap " + handleOf(player()->view().get())));
        }
        ASSERT_TRUE(command("tap " + handleOf(button.get())));
        ASSERT_TRUE(waitFor([&] { return player()->presentedViewController() != nullptr; })) << name;
        ASSERT_NO_FATAL_FAILURE(look(name));
    }
    void closePopover() {
        player()->presentedViewController()->dismiss(false);
        ASSERT_TRUE(waitFor([&] { return player()->presentedViewController() == nullptr; }));
    }
    // Scrolls the options popover until `title` shows, opening the collapsed section `section` on
    // the way.
    void scrollOptionsTo(const std::string& title, const std::string& section) {
        auto options = std::dynamic_pointer_cast<OptionsPopoverViewController>(player()->presentedViewController());
        ASSERT_TRUE(options);
        for (int step = 0; step < 8 && screen().find("\"" + title + "\"") == std::string::npos; ++step) {
            // A row under the list's pinned header cannot be touched: the list scrolls on instead.
            if (screen().find("\"" + section + "\"") != std::string::npos && !opened.count(section) &&
                host->session().executeLine("tap \"" + section + "\"") == Outcome::done) {
                opened.insert(section);
                continue;
            }
            ASSERT_TRUE(command("swipe " + handleOf(options->collectionView().get()) + " up"));
        }
    }
    std::string screen() const { return ui::ScreenDriver(host->window()).screen(); }

    testing_support::RealMainLoop loop;
    testing_support::TempDir dir;
    fs::path home = dir / "home";
    fs::path documents = home / "Documents";
    foundation::ScopedContainer container{home};
    std::ostringstream out, err;
    std::unique_ptr<AppHost> host;
    std::optional<window_gallery::Inspection> inspection;
    std::set<std::string> opened;  // the options popover's sections opened
};

TEST_P(WindowGalleryDisplay, EveryScreenIsDrawnWholeAndEveryElementTakesItsClicks) {
    ASSERT_NO_FATAL_FAILURE(look("library"));
    ASSERT_TRUE(command("search \"Clip\""));
    ASSERT_NO_FATAL_FAILURE(look("search"));
    ASSERT_TRUE(command("cancel"));
    ASSERT_TRUE(command("tap \"Shows\""));
    ASSERT_NO_FATAL_FAILURE(look("folder"));
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("tap \"Empty\""));
    ASSERT_NO_FATAL_FAILURE(look("empty folder"));
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("menu \"Clip\""));
    ASSERT_NO_FATAL_FAILURE(look("context menu"));
    ASSERT_TRUE(command("choose \"Rename\""));
    ASSERT_NO_FATAL_FAILURE(look("rename alert"));
    ASSERT_TRUE(command("alert \"Cancel\""));

    ASSERT_TRUE(command("tap " + handleOf(root()->editButton().get())));
    ASSERT_NO_FATAL_FAILURE(look("edit"));
    ASSERT_TRUE(command("tap \"Clip\""));
    ASSERT_TRUE(command("tap \"Move\""));
    ASSERT_NO_FATAL_FAILURE(look("move sheet"));
    ASSERT_TRUE(command("tap \"Cancel\""));
    ASSERT_TRUE(command("tap \"Done\""));

    ASSERT_TRUE(command("tap " + handleOf(root()->playButton().get())));
    ASSERT_NO_FATAL_FAILURE(look("play sheet, file page"));
    ASSERT_TRUE(command("tap \"Play URL\""));
    ASSERT_NO_FATAL_FAILURE(look("play sheet, address page"));
    ASSERT_TRUE(command("tap \"Cancel\""));

    ASSERT_TRUE(command("tap " + handleOf(root()->importButton().get())));
    ASSERT_NO_FATAL_FAILURE(look("import menu"));
    ASSERT_TRUE(command("tap \"Import from Files\""));
    ASSERT_NO_FATAL_FAILURE(look("import picker"));
    ASSERT_TRUE(command("cancel"));

    ASSERT_TRUE(command("tap " + handleOf(root()->settingsButton().get())));
    ASSERT_NO_FATAL_FAILURE(look("settings"));
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(host->window()->rootViewController());
    auto settings = std::dynamic_pointer_cast<ui::TableViewController>(navigation->topViewController());
    ASSERT_TRUE(settings);
    ASSERT_TRUE(command("tap " + handleOf(settings->tableView()->cellForRow({0, 0}).get())));
    ASSERT_NO_FATAL_FAILURE(look("settings: storage"));
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("tap \"Languages\""));
    ASSERT_NO_FATAL_FAILURE(look("settings: languages"));
    ASSERT_TRUE(command("tap \"Subtitle Language\""));
    ASSERT_NO_FATAL_FAILURE(look("settings: language picker"));
    ASSERT_TRUE(command("tap \"English\""));
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("tap \"Gestures\""));
    ASSERT_NO_FATAL_FAILURE(look("settings: gestures"));
    ASSERT_TRUE(command("back"));
    ASSERT_TRUE(command("back"));

    ASSERT_TRUE(command("tap \"Clip\""));
    ASSERT_TRUE(player());
    ASSERT_TRUE(waitFor([&] { return player()->playbackInfo()->subtitleTracks().size() >= 2; }));
    // Once the picture shows (a screenshot waits for it), paused, so it holds still between the
    // pictures compared.
    ASSERT_TRUE(command("screenshot " + (dir / "playing.png").string()));
    ASSERT_TRUE(command("key space"));
    if (player()->controlView()->isHidden()) {
        ASSERT_TRUE(command("tap " + handleOf(player()->view().get())));
    }
    ASSERT_NO_FATAL_FAILURE(look("player"));
    auto controls = player()->controlView();
    ASSERT_NO_FATAL_FAILURE(openPopover(controls->bottomControlView()->optionsButton(), "options popover"));
    ASSERT_NO_FATAL_FAILURE(scrollOptionsTo("Font", "Appearance"));
    ASSERT_NO_FATAL_FAILURE(look("options popover, subtitle appearance"));
    ASSERT_TRUE(command("tap \"Font\""));
    ASSERT_TRUE(waitFor([&] { return player()->presentedViewController()->presentedViewController() != nullptr; }));
    ASSERT_NO_FATAL_FAILURE(look("font picker"));
    ASSERT_TRUE(command("cancel"));
    ASSERT_NO_FATAL_FAILURE(closePopover());
    ASSERT_NO_FATAL_FAILURE(openPopover(controls->topControlView()->videoMenuButtonView()->button(), "video menu"));
    // The switch to the chapters shows when the playlist has more than the one video.
    if (screen().find("\"Chapters\"") != std::string::npos) {
        ASSERT_TRUE(command("tap \"Chapters\""));
        ASSERT_NO_FATAL_FAILURE(look("video menu, chapters"));
    }
    ASSERT_NO_FATAL_FAILURE(closePopover());
    ASSERT_NO_FATAL_FAILURE(
        openPopover(controls->bottomControlView()->audioSubtitlesButton(), "audio and subtitle popover"));
    ASSERT_NO_FATAL_FAILURE(closePopover());

    std::string all;
    for (const auto& finding : inspection->findings()) all += "\n" + finding;
    EXPECT_TRUE(inspection->findings().empty()) << inspection->findings().size() << " findings:" << all;
}

TEST_P(WindowGalleryDisplay, TheEmptyLibraryIsDrawnWhole) {
    inspection.reset();
    host->shutDown();
    host.reset();
    ui::Application::shared().reset();
    fs::remove_all(documents);
    fs::create_directories(documents);
    ASSERT_NO_FATAL_FAILURE(startHost());
    ASSERT_NE(screen().find("No Videos Yet"), std::string::npos) << screen();
    ASSERT_NO_FATAL_FAILURE(look("empty library"));
    std::string all;
    for (const auto& finding : inspection->findings()) all += "\n" + finding;
    EXPECT_TRUE(inspection->findings().empty()) << inspection->findings().size() << " findings:" << all;
}

std::string shapeName(const ::testing::TestParamInfo<Shape>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Shapes, WindowGalleryDisplay,
                         ::testing::Values(Shape{"PhoneUpright", LauncherOptions::Device::phone, 390, 844},
                                           Shape{"PhoneOnItsSide", LauncherOptions::Device::phone, 844, 390},
                                           Shape{"PadUpright", LauncherOptions::Device::pad, 820, 1180},
                                           Shape{"PadOnItsSide", LauncherOptions::Device::pad, 1180, 820},
                                           Shape{"Smallest", LauncherOptions::Device::phone, 390, 390},
                                           Shape{"PhoneRightToLeft", LauncherOptions::Device::phone, 390, 844,
                                                 LauncherOptions::LayoutDirection::rightToLeft}),
                         shapeName);

}  // namespace
}  // namespace reelhaven

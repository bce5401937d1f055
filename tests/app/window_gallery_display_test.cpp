// Every screen a person can reach, opened in a real window on a phone and a pad, upright and on
// its side, and at the window's smallest size, and looked at from its pixels and its view tree
// (window_gallery.h says what is checked). Without a display (the display stage runs these under
// Xvfb and Weston) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <vector>

#include "app/app_host.h"
#include "app/scene_delegate.h"
#include "controls/bottom_control_view.h"
#include "controls/options_popover_view_controller.h"
#include "controls/top_control_view.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "in_process_host.h"
#include "library/library_file_collection_view_controller.h"
#include "library/open_url_hosting_controller.h"
#include "library/open_url_view.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/foundation/container.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/gestures/press.h"
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
#include "toolkit/empty_data_set.h"
#include "toolkit/empty_data_set_view.h"
#include "window_gallery.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
struct Shape {
    const char* name;
    LauncherOptions::Device device;
    double width, height;
    LauncherOptions::LayoutDirection direction = LauncherOptions::LayoutDirection::leftToRight;
};

void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.name; }

class WindowGalleryDisplay : public ::testing::TestWithParam<Shape>,
                             protected InProcessHost<testing_support::RealMainLoop> {
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
        options.device = GetParam().device;
        options.size = std::pair(GetParam().width, GetParam().height);
        options.layoutDirection = GetParam().direction;
        options.restore = false;
        options.display = true;
        options.audioOutput = "null";
        options.script = "script";  // prints only on `show`
        ASSERT_TRUE(launch(options)) << err.str();
        inspection.emplace(*host->display(), host->window());
    }
    void TearDown() override {
        closePlayer();
        inspection.reset();
        shutDown();
        ui::Device::current().setUserInterfaceLayoutDirection(ui::UserInterfaceLayoutDirection::leftToRight);
        Preferences::shared().playExternalFileIndex.setWrappedValue(0);
    }

    // Starts the app again on a library that holds only `videos` (copies of one clip).
    void restartWith(const std::vector<std::string>& videos) {
        inspection.reset();
        shutDown();
        fs::remove_all(documents);
        fs::create_directories(documents);
        for (const auto& name : videos)
            fs::copy_file(testing_support::testMedia("wide.mp4"), documents / (name + ".mp4"));
        ASSERT_NO_FATAL_FAILURE(startHost());
    }
    void expectNothingFound() const {
        std::string all;
        for (const auto& finding : inspection->findings()) all += "\n" + finding;
        EXPECT_TRUE(inspection->findings().empty()) << inspection->findings().size() << " findings:" << all;
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
                run("tap \"" + section + "\"") == Outcome::done) {
                opened.insert(section);
                continue;
            }
            ASSERT_TRUE(command("swipe " + handleOf(options->collectionView().get()) + " up"));
        }
    }

    // A right click on what the printed screen names `what`, through the window's event queue.
    void rightClick(const std::string& what) {
        auto at = driver().touchPointOf(what);
        ASSERT_TRUE(at) << what << "\n" << screen();
        host->display()->mouseDown(at.value(), display::DisplayHost::MouseButton::right);
        host->display()->mouseUp(at.value());
    }
    // The left button pressed at `from` and moved to `to` in steps, through the window's event
    // queue; released there unless `release` is false.
    void drag(ui::Point from, ui::Point to, bool release = true) {
        host->display()->mouseDown(from);
        for (double step = 1; step <= 4; ++step)
            host->display()->mouseMove({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
        if (release) host->display()->mouseUp(to);
    }
    // The first slider under `view` whose range starts at `minimum`.
    static std::shared_ptr<ui::Slider> sliderIn(const std::shared_ptr<ui::View>& view, float minimum) {
        if (auto slider = std::dynamic_pointer_cast<ui::Slider>(view); slider && slider->minimumValue() == minimum)
            return slider;
        for (const auto& child : view->subviews())
            if (auto found = sliderIn(child, minimum)) return found;
        return nullptr;
    }

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
    ASSERT_NO_FATAL_FAILURE(rightClick("Clip"));
    ASSERT_TRUE(host->window()->presentedMenu()) << "a right click on a cell opened no menu\n" << screen();
    ASSERT_NO_FATAL_FAILURE(look("context menu"));
    ASSERT_TRUE(command("choose \"Rename\""));
    ASSERT_NO_FATAL_FAILURE(look("rename alert"));
    // The alert's field takes typed keys at once, after the name it holds; Escape cancels.
    host->display()->typeText(" 2");
    ASSERT_NO_FATAL_FAILURE(look("rename alert, typed into"));
    EXPECT_NE(screen().find("\"Clip 2\""), std::string::npos) << "typing did not reach the alert's field\n" << screen();
    host->display()->pressKey(ui::Key::escape, ui::Key::none);
    ASSERT_TRUE(waitFor([&] { return !host->window()->topPresentedViewController(); })) << screen();

    ASSERT_TRUE(command("tap " + handleOf(root()->editButton().get())));
    ASSERT_NO_FATAL_FAILURE(look("edit"));
    // A new folder named with the keyboard and made with Enter.
    std::smatch newFolder;
    const auto editing = screen();
    ASSERT_TRUE(
        std::regex_search(editing, newFolder, std::regex("BarButtonItem (#\\d+) [^\\n]*sym:folder\\.badge\\.plus")))
        << editing;
    ASSERT_TRUE(command("click " + newFolder[1].str()));
    host->display()->typeText("Typed");
    ASSERT_NO_FATAL_FAILURE(look("new folder alert, typed into"));
    host->display()->pressKey(ui::Key::returnOrEnter, ui::Key::none);
    EXPECT_TRUE(waitFor([&] { return fs::is_directory(documents / "Typed"); })) << "Enter made no folder\n" << screen();
    ASSERT_TRUE(command("tap \"Clip\""));
    ASSERT_TRUE(command("tap \"Move\""));
    ASSERT_NO_FATAL_FAILURE(look("move sheet"));
    ASSERT_TRUE(command("tap \"Cancel\""));
    ASSERT_TRUE(command("tap \"Done\""));

    ASSERT_TRUE(command("tap " + handleOf(root()->playButton().get())));
    ASSERT_NO_FATAL_FAILURE(look("play sheet, file page"));
    ASSERT_TRUE(command("tap \"Play URL\""));
    ASSERT_NO_FATAL_FAILURE(look("play sheet, address page"));
    // A click in the address field edits it; typed, the address enables Play.
    ASSERT_TRUE(command("click " + handleOf(root()->openURLController()->rootView()->addressField().get())));
    host->display()->typeText("https://example.com/a.mp4");
    ASSERT_NO_FATAL_FAILURE(look("play sheet, address typed"));
    EXPECT_TRUE(root()->openURLController()->rootView()->isPlayEnabled()) << "typing did not reach the field";
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
    {
        // The scrubber follows a drag: the player seeks while it is dragged and where it ends.
        auto scrubber = controls->bottomControlView()->progressBar();
        const auto duration = player()->playbackInfo()->duration();
        ASSERT_TRUE(duration);
        auto seekedTo = [&](float value) {
            return waitFor(
                [&] { return std::abs(player()->playbackInfo()->progress() / *duration * 100 - value) < 2; });
        };
        const float start = scrubber->value();
        // Towards the middle: a seek stops a second before the end.
        const float way = start > 38 ? -1 : 1;
        const ui::Point from = scrubber->pointInWindow(start);
        const double track = scrubber->trackRect(scrubber->bounds()).size.width;
        drag(from, {from.x + way * track * 0.3, from.y}, false);
        EXPECT_NEAR(scrubber->value(), std::max(0.0f, start + way * 30), 2)
            << "the scrubber does not follow the pointer";
        EXPECT_TRUE(seekedTo(scrubber->value())) << "no seek while dragged";
        host->display()->mouseMove({from.x + way * track * 0.4, from.y});
        host->display()->mouseUp({from.x + way * track * 0.4, from.y});
        EXPECT_NEAR(scrubber->value(), std::max(0.0f, start + way * 40), 2);
        EXPECT_TRUE(seekedTo(scrubber->value())) << "no seek where the drag ended";
        if (controls->isHidden()) {
            ASSERT_TRUE(command("tap " + handleOf(player()->view().get())));
        }
    }
    // The times show whole at every size, the window's smallest too, not cut to "…". (The
    // content size of a label is rounded up to whole points.)
    for (const auto& time :
         {controls->bottomControlView()->progressLabel(), controls->bottomControlView()->durationLabel()})
        EXPECT_LE(time->intrinsicContentSize().width, time->bounds().size.width + 1)
            << "\"" << time->text().value_or("") << "\" is cut to fit its " << time->bounds().size.width << " points";
    ASSERT_NO_FATAL_FAILURE(openPopover(controls->bottomControlView()->optionsButton(), "options popover"));
    {
        // The Size slider follows a drag, there and back, and sets the subtitles' size, once the
        // list is scrolled to where the pointer reaches it.
        auto options = std::dynamic_pointer_cast<OptionsPopoverViewController>(player()->presentedViewController());
        ASSERT_TRUE(options);
        auto reachable = [&](const std::shared_ptr<ui::Slider>& slider) {
            for (auto hit = host->window()->hitTest(slider->pointInWindow(slider->value())); hit;
                 hit = hit->superview())
                if (hit == slider) return true;
            return false;
        };
        auto size = sliderIn(options->view(), -1.5f);
        for (int step = 0; step < 4 && !(size && reachable(size)); ++step) {
            ASSERT_TRUE(command("swipe " + handleOf(options->collectionView().get()) + " up"));
            size = sliderIn(options->view(), -1.5f);
        }
        ASSERT_TRUE(size && reachable(size)) << "the pointer cannot reach the Size slider\n" << screen();
        const double scale = Preferences::shared().subtitleScale.wrappedValue();
        const float start = size->value();
        drag(size->pointInWindow(start), size->pointInWindow(start + 0.5f));
        EXPECT_NEAR(size->value(), start + 0.5f, 0.05) << "the Size slider does not follow the pointer";
        EXPECT_GT(Preferences::shared().subtitleScale.wrappedValue(), scale + 0.3);
        drag(size->pointInWindow(size->value()), size->pointInWindow(start));
        EXPECT_NEAR(Preferences::shared().subtitleScale.wrappedValue(), scale, 0.05);
    }
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

    expectNothingFound();
}

TEST_P(WindowGalleryDisplay, TheEmptyLibraryIsDrawnWhole) {
    ASSERT_NO_FATAL_FAILURE(restartWith({}));
    ASSERT_NE(screen().find("No Videos Yet"), std::string::npos) << screen();
    ASSERT_NO_FATAL_FAILURE(look("empty library"));
    expectNothingFound();
}

// A context menu over the grid, with long names in the cells under it: nothing of them reads
// through the menu.
TEST_P(WindowGalleryDisplay, AMenuOverTheGridLetsNoTextUnderItThrough) {
    ASSERT_NO_FATAL_FAILURE(restartWith({"A long name for a summer holiday video by the sea at dusk", "Beach",
                                         "Camping trip with the whole family in the mountains", "Dunes",
                                         "Evening walk along the harbour wall in the rain", "Forest"}));
    for (const char* item : {"Beach", "Dunes"}) {
        ASSERT_TRUE(command("menu \"" + std::string(item) + "\""));
        ASSERT_NO_FATAL_FAILURE(look(std::string("menu over the grid from ") + item));
        ASSERT_TRUE(command("cancel"));
    }
    expectNothingFound();
}

// The window right after the command that deletes the last video shows the empty state as it
// stays, not a step of its fade in (which ends after the half second the delete's own delay gets).
TEST_P(WindowGalleryDisplay, TheWindowAfterTheLastDeleteShowsTheEmptyStateFadedInWhole) {
    ASSERT_NO_FATAL_FAILURE(restartWith({"Film"}));
    ASSERT_TRUE(command("menu \"Film\""));
    ASSERT_TRUE(command("choose \"Delete\""));
    ASSERT_TRUE(command("choose \"Delete\""));
    const auto afterCommand = host->display()->capture();
    ASSERT_NE(screen().find("\"No Videos Yet\""), std::string::npos) << screen();
    ASSERT_TRUE(waitFor([&] { return inspection->still(); })) << "the window does not hold still";
    const auto atRest = host->display()->capture();
    auto empty = EmptyDataSet::emptyDataSetView(*root()->collectionView(), false);
    ASSERT_TRUE(empty);
    const auto content = empty->contentView();
    const auto area = content->convert(content->bounds(), nullptr);
    // Its text shows at all: without it the area looks otherwise.
    content->setAlpha(0);
    const auto without = host->display()->capture();
    content->setAlpha(1);
    ASSERT_GT(inspection->changedPixels(atRest, without, area), 100);
    EXPECT_EQ(inspection->changedPixels(afterCommand, atRest, area), 0) << "the empty state was still fading in";
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

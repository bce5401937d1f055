// The interface read right to left in a real window (`--layout-direction rtl`), judged from its
// pixels and used with clicks: the navigation bar is the mirror image (the back button at the right,
// its chevron pointing right, and a click there goes back), a settings row's chevron sits at the
// row's left and points left, and so does the chevron of an options row over the player. Without a
// display (the display stage runs these under Xvfb and Weston) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>

#include "app/app_host.h"
#include "app/scene_delegate.h"
#include "controls/bottom_control_view.h"
#include "controls/options_item_cell.h"
#include "controls/options_popover_view_controller.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "core/video.h"
#include "library/library_file_collection_view_controller.h"
#include "library/video_collection_view_cell.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/foundation/container.h"
#include "platform/ui/controllers/navigation_bar_layout.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/lists/table_view_cell.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/window.h"
#include "playback/model/playback_info.h"
#include "playback/reelhaven_view_controller.h"
#include "support/display_stage.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using Outcome = HostSession::Outcome;

// A box of pixels, right and bottom exclusive.
struct Box {
    int left, top, right, bottom;
};

// Which way a chevron drawn in `box` points, from where its ink lies row by row: a "<" reaches
// furthest left at its middle and furthest right at its ends; a ">" the other way round; a "v"
// is widest at its top.
enum class Pointing { left, right, down, unknown };

std::ostream& operator<<(std::ostream& out, Pointing pointing) {
    const char* names[] = {"left", "right", "down", "unknown"};
    return out << names[static_cast<int>(pointing)];
}

Pointing pointingOf(const gfx::Image& image, Box box, const std::function<bool(gfx::Pixel)>& ink) {
    struct Row {
        int y, from, to;
    };
    std::vector<Row> rows;
    for (int y = std::max(0, box.top); y < std::min(image.height(), box.bottom); ++y) {
        Row row{y, box.right, box.left - 1};
        for (int x = std::max(0, box.left); x < std::min(image.width(), box.right); ++x) {
            if (!ink(image.pixel(x, y))) continue;
            row.from = std::min(row.from, x);
            row.to = std::max(row.to, x);
        }
        if (row.to >= row.from) rows.push_back(row);
    }
    if (rows.size() < 5) return Pointing::unknown;
    // The second row, clear of the anti-aliased tip, against the middle one.
    const Row& top = rows[1];
    const Row& middle = rows[rows.size() / 2];
    // Two pixels at least: a back button's chevron is a small glyph at one pixel per point.
    constexpr int step = 2;
    if (middle.from + step <= top.from && middle.to <= top.to) return Pointing::left;
    if (middle.to >= top.to + step && middle.from >= top.from) return Pointing::right;
    if (middle.from >= top.from + step && middle.to + step <= top.to) return Pointing::down;
    return Pointing::unknown;
}

// `view` and every view under it.
void eachInTree(ui::View& view, const std::function<void(ui::View&)>& visit) {
    visit(view);
    for (const auto& child : view.subviews()) eachInTree(*child, visit);
}

int distance(gfx::Pixel a, gfx::Pixel b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

class RightToLeftDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(documents);
        // Two audio tracks, a subtitle track and chapters: the options show every kind of row.
        fs::copy_file(testing_support::testMedia("chapters.mkv"), documents / "Clip.mkv");
        // Long enough for the grid to show where it was left.
        fs::copy_file(testing_support::testMedia("long.mp4"), documents / "Long.mp4");
        LauncherOptions options;
        options.home = home;
        options.device = LauncherOptions::Device::phone;
        options.size = std::pair(390.0, 844.0);
        options.layoutDirection = LauncherOptions::LayoutDirection::rightToLeft;
        options.restore = false;
        options.display = true;
        options.audioOutput = "null";
        options.script = "script";  // prints only on `show`
        host = std::make_unique<AppHost>(options, out, err);
        ASSERT_TRUE(host->start()) << err.str();
    }
    void TearDown() override {
        if (auto shown = player()) {
            if (shown->mpv()) shown->close(false);
            if (auto session = shown->session()) session->commandQueue()->sync([] {});
            host->session().settle();
            shown->waitForProgressSaves();
        }
        if (host) host->shutDown();
        host.reset();
        ui::Application::shared().reset();
        ui::Device::current().setUserInterfaceLayoutDirection(ui::UserInterfaceLayoutDirection::leftToRight);
    }

    ::testing::AssertionResult command(const std::string& line) {
        err.str({});
        if (host->session().executeLine(line) == Outcome::done) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << line << ": " << err.str() << "\n"
                                             << ui::ScreenDriver(host->window()).screen();
    }
    // A click at a point of the window, as the mouse gives it.
    ::testing::AssertionResult clickAt(ui::Point point) {
        return command("click " + std::to_string(std::lround(point.x)) + " " + std::to_string(std::lround(point.y)));
    }
    std::string handleOf(const void* view) const {
        const auto screen = ui::ScreenDriver(host->window()).capture();
        for (size_t i = 0; i < screen.targets().size(); ++i)
            if (screen.targets()[i].view.get() == view) return "#" + std::to_string(i + 1);
        ADD_FAILURE() << "not on the screen:\n" << screen.text();
        return "#0";
    }
    std::shared_ptr<ui::NavigationController> navigation() const {
        return std::dynamic_pointer_cast<ui::NavigationController>(host->window()->rootViewController());
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
    // The window's pixels once two looks in a row find them alike (animations done).
    gfx::Image settledPicture() {
        gfx::Image last;
        waitFor([&] {
            auto now = host->display()->capture();
            const bool same = !last.isEmpty() && now.width() == last.width() && now.height() == last.height() &&
                              now.pixels() == last.pixels();
            last = std::move(now);
            return same;
        });
        return last;
    }
    // `rect` (window points) in the picture's pixels.
    Box pixels(const gfx::Image& image, const ui::Rect& rect) const {
        const double scale = static_cast<double>(image.width()) / host->window()->bounds().size.width;
        return {static_cast<int>(std::floor(rect.minX() * scale)), static_cast<int>(std::floor(rect.minY() * scale)),
                static_cast<int>(std::ceil(rect.maxX() * scale)), static_cast<int>(std::ceil(rect.maxY() * scale))};
    }
    ui::Rect inWindow(const ui::View& view) const { return view.convert(view.bounds(), nullptr); }
    static std::shared_ptr<ui::View> indicatorOf(ui::View& cell) {
        for (const auto& view : cell.subviews())
            if (view->className() == "CellAccessoryIndicatorView" && !view->isHidden()) return view;
        return nullptr;
    }
    // The gear, a left bar item, is at the bar's right edge: a click there opens the settings.
    void openSettings() {
        auto root = std::dynamic_pointer_cast<LibraryFileCollectionViewController>(navigation()->topViewController());
        ASSERT_TRUE(root);
        const auto bar = ui::NavigationBarLayout::of(*navigation());
        ASSERT_TRUE(bar);
        const auto gear = bar->frameOf(*root->settingsButton());
        ASSERT_TRUE(gear);
        EXPECT_GT(gear->minX(), host->window()->bounds().size.width - 60) << "the gear is not at the right edge";
        ASSERT_TRUE(clickAt(gear->center()));
        ASSERT_EQ(navigation()->viewControllers().size(), 2u) << ui::ScreenDriver(host->window()).screen();
    }

    testing_support::RealMainLoop loop;
    testing_support::TempDir dir;
    fs::path home = dir / "home";
    fs::path documents = home / "Documents";
    foundation::ScopedContainer container{home};
    std::ostringstream out, err;
    std::unique_ptr<AppHost> host;
};

TEST_F(RightToLeftDisplay, TheBackButtonIsDrawnAtTheRightPointingRightAndAClickThereGoesBack) {
    ASSERT_NO_FATAL_FAILURE(openSettings());
    // In the settings' bar only the back button takes the tint: its ink lies at the right.
    const auto layout = ui::NavigationBarLayout::of(*navigation());
    ASSERT_TRUE(layout && layout->backButton);
    const auto picture = settledPicture();
    // The tint is a blue, and the anti-aliased edges of what it draws keep its hue over the grey bar.
    const auto tint = navigation()->view()->tintColor();
    ASSERT_GT(tint.blue, tint.red + 0.3);
    const auto isTint = [](gfx::Pixel p) { return p.b > p.r + 50 && p.b > p.g + 30; };
    const Box bar = pixels(picture, layout->bar);
    Box ink{bar.right, bar.bottom, bar.left - 1, bar.top - 1};
    for (int y = bar.top; y < bar.bottom; ++y) {
        for (int x = bar.left; x < bar.right; ++x) {
            if (!isTint(picture.pixel(x, y))) continue;
            ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
        }
    }
    const double scale = static_cast<double>(picture.width()) / host->window()->bounds().size.width;
    ASSERT_GE(ink.right, ink.left) << "no back button drawn";
    EXPECT_GT(ink.left, picture.width() / 2) << "the back button's ink reaches the left half";
    EXPECT_GT(ink.right, picture.width() - 20 * scale) << "the back button's ink ends short of the right edge";
    // Its chevron, the ink at its far right up to the gap before the title, points right: back,
    // against the way the bar reads.
    const auto columnInked = [&](int x) {
        for (int y = bar.top; y < bar.bottom; ++y)
            if (isTint(picture.pixel(x, y))) return true;
        return false;
    };
    int gap = ink.right;
    while (gap > ink.left && columnInked(gap)) --gap;
    ASSERT_GT(gap, ink.left) << "the chevron runs into the title";
    EXPECT_EQ(pointingOf(picture, {gap + 1, bar.top, ink.right + 1, bar.bottom}, isTint), Pointing::right);

    // A click on what is drawn there goes back.
    ASSERT_TRUE(clickAt({(ink.left + ink.right) / 2.0 / scale, (ink.top + ink.bottom) / 2.0 / scale}));
    EXPECT_EQ(navigation()->viewControllers().size(), 1u) << ui::ScreenDriver(host->window()).screen();
}

TEST_F(RightToLeftDisplay, ASettingsRowsChevronIsDrawnAtItsLeftPointingLeft) {
    ASSERT_NO_FATAL_FAILURE(openSettings());
    const auto picture = settledPicture();
    int rows = 0;
    eachInTree(*navigation()->topViewController()->view(), [&](ui::View& view) {
        auto* cell = dynamic_cast<ui::TableViewCell*>(&view);
        if (!cell || cell->isHidden() || cell->accessoryType() != ui::TableViewCellAccessoryType::disclosureIndicator)
            return;
        const auto row = inWindow(*cell);
        if (!host->window()->bounds().contains(row.origin) || row.maxY() > host->window()->bounds().maxY()) return;
        auto indicator = indicatorOf(*cell);
        ASSERT_TRUE(indicator) << row.origin.y;
        const auto drawn = inWindow(*indicator);
        EXPECT_LT(drawn.maxX(), row.minX() + 40)
            << "the chevron of the row at " << row.origin.y << " is not at its left";
        // Ink: what differs from the row's own colour at its left end.
        const auto background = picture.pixel(pixels(picture, row).left + 2, pixels(picture, row).top + 2);
        const auto isInk = [&](gfx::Pixel p) { return distance(p, background) > 60; };
        EXPECT_EQ(pointingOf(picture, pixels(picture, drawn.insetBy(-2, -2)), isInk), Pointing::left)
            << "the chevron of the row at " << row.origin.y;
        ++rows;
    });
    EXPECT_GE(rows, 2) << ui::ScreenDriver(host->window()).screen();
}

TEST_F(RightToLeftDisplay, AnOptionsRowsChevronIsDrawnAtItsLeftPointingLeftAndDownWhenOpen) {
    ASSERT_TRUE(command("click \"Clip\""));
    ASSERT_TRUE(waitFor([&] { return player() && player()->playbackInfo()->subtitleTracks().size() >= 2; }));
    // Once the picture shows (a screenshot waits for it), paused, so the picture holds still.
    ASSERT_TRUE(command("screenshot " + (dir / "playing.png").string()));
    ASSERT_TRUE(command("key space"));
    const auto options = player()->controlView()->bottomControlView()->optionsButton();
    for (int look = 0; look < 20 && player()->controlView()->isHidden(); ++look) ASSERT_TRUE(clickAt({195, 300}));
    ASSERT_TRUE(clickAt(inWindow(*options).center()));
    ASSERT_TRUE(waitFor([&] { return player()->presentedViewController() != nullptr; }));
    auto popover = std::dynamic_pointer_cast<OptionsPopoverViewController>(player()->presentedViewController());
    ASSERT_TRUE(popover);

    // Rows that open or expand something: their chevrons, white on the dark blur.
    struct Chevron {
        std::string title;
        bool expands;
        Pointing pointing;
    };
    const auto chevrons = [&](const gfx::Image& picture) {
        std::vector<Chevron> found;
        eachInTree(*popover->collectionView(), [&](ui::View& view) {
            auto* cell = dynamic_cast<OptionsItemCell*>(&view);
            if (!cell || cell->isHidden() || !cell->setting() || !cell->chevronImageView()->window()) return;
            const auto row = inWindow(*cell);
            const auto drawn = inWindow(*cell->chevronImageView());
            if (!inWindow(*popover->collectionView()).contains(row.origin)) return;
            const std::string title = cell->setting()->title.value_or("");
            EXPECT_LT(drawn.maxX(), row.minX() + 40) << "the chevron of " << title << " is not at the row's left";
            const auto isInk = [](gfx::Pixel p) { return p.r > 170 && p.g > 170 && p.b > 170; };
            found.push_back({title, !cell->setting()->subitems.empty(),
                             pointingOf(picture, pixels(picture, drawn.insetBy(-2, -2)), isInk)});
        });
        return found;
    };
    const auto isExpandable = [](const Chevron& c) { return c.expands && !c.title.empty(); };
    // The subtitle rows that expand lie below the first screenful: the list is swiped to them.
    auto closed = chevrons(settledPicture());
    for (int swipe = 0; swipe < 8 && std::none_of(closed.begin(), closed.end(), isExpandable); ++swipe) {
        ASSERT_TRUE(command("swipe " + handleOf(popover->collectionView().get()) + " up"));
        closed = chevrons(settledPicture());
    }
    for (const auto& chevron : closed) EXPECT_EQ(chevron.pointing, Pointing::left) << chevron.title;

    // An expandable row opened by a click: its chevron turns down.
    const auto expandable = std::find_if(closed.begin(), closed.end(), isExpandable);
    ASSERT_NE(expandable, closed.end()) << ui::ScreenDriver(host->window()).screen();
    ASSERT_TRUE(command("click \"" + expandable->title + "\""));
    std::optional<Pointing> turned;
    for (const auto& chevron : chevrons(settledPicture()))
        if (chevron.title == expandable->title) turned = chevron.pointing;
    EXPECT_EQ(turned, Pointing::down) << expandable->title;
}

// A video's resume bar fills from where the row reads from, the right: a quarter watched shows
// the bar's tint over its right quarter and the track's colour over the rest.
TEST_F(RightToLeftDisplay, AResumeBarFillsFromTheRight) {
    auto root = std::dynamic_pointer_cast<LibraryFileCollectionViewController>(navigation()->topViewController());
    ASSERT_TRUE(root);
    std::shared_ptr<Video> video;
    // Once the listing has read the video's length.
    ASSERT_TRUE(waitFor([&] {
        for (const auto& item : root->dataSource()->snapshot().itemIdentifiers())
            if (auto found = std::dynamic_pointer_cast<Video>(item);
                found && found->url().lastPathComponent() == "Long.mp4")
                video = found->duration() ? found : nullptr;
        return video != nullptr;
    }));
    // What the player leaves in the store and the grid when it closes a quarter of the way in.
    root->progressClient()->update(*video, video->duration()->seconds / 4, std::nullopt, {});
    root->reloadItems({video});
    const auto picture = settledPicture();

    std::shared_ptr<ui::ProgressView> bar;
    eachInTree(*root->view(), [&](ui::View& view) {
        auto* cell = dynamic_cast<VideoCollectionViewCell*>(&view);
        if (cell && cell->titleLabel() && cell->titleLabel()->text() == std::optional<std::string>("Long"))
            bar = cell->progressView();
    });
    ASSERT_TRUE(bar && !bar->isHidden()) << ui::ScreenDriver(host->window()).screen();
    const Box box = pixels(picture, inWindow(*bar));
    // The fill is the tint, a blue (dimmed a little by what lies over the thumbnail); the track a grey.
    ASSERT_GT(bar->tintColor().blue, bar->tintColor().red + 0.3);
    const auto isFill = [](gfx::Pixel p) { return p.b > p.r + 60 && p.b > p.g + 40; };
    // Along the bar's middle row, which columns show it. The thumbnail's rounded corners clip
    // both ends of the bar.
    const int y = (box.top + box.bottom) / 2;
    int first = box.right, last = box.left - 1;
    for (int x = box.left; x < box.right; ++x) {
        if (!isFill(picture.pixel(x, y))) continue;
        first = std::min(first, x);
        last = std::max(last, x);
    }
    const int width = box.right - box.left;
    ASSERT_GE(last, first) << "no part of the bar is filled";
    EXPECT_GE(last, box.right - width / 10) << "the fill does not reach the bar's right end";
    EXPECT_GT(first, box.left + width / 2) << "the fill reaches the bar's left half";
    EXPECT_LT(first, box.right - width / 8) << "the fill is far shorter than a quarter";
}

}  // namespace
}  // namespace reelhaven

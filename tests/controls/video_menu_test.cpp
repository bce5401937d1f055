#include "controls/video_menu_popover_view_controller.h"

#include <gtest/gtest.h>

#include "controls/video_menu_cells.h"
#include "controls_test_support.h"
#include "core/documents_client.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/controls/deferred_menu_element.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/gestures/finger.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

using controls_testing::RecordingVideoControlDelegate;
using Strings = std::vector<std::string>;
using ListType = VideoMenuPopoverViewController::ListType;

std::vector<Chapter> chapters(int count) {
    std::vector<Chapter> list;
    for (int index = 0; index < count; ++index)
        list.push_back({index, "Chapter " + std::to_string(index + 1), {index * 60.0}});
    return list;
}

class VideoMenuTest : public controls_testing::PopoverTest {
protected:
    std::shared_ptr<RecordingVideoControlDelegate> controlDelegate = std::make_shared<RecordingVideoControlDelegate>();
    std::shared_ptr<VideoManager> manager = VideoManager::create(DocumentsClient::create(), ProgressClient::create());
    std::vector<VideoPtr> videos;
    std::shared_ptr<VideoMenuPopoverViewController> menu;
    std::vector<bool> screenshots;

    void SetUp() override {
        PopoverTest::SetUp();
        setLibrary({"Alpha.mp4", "Beta.mp4", "Gamma.mp4"});
    }
    void TearDown() override {
        if (menu && player->presentedViewController()) player->dismiss(false);
        manager->waitForMetadataJobs();
    }
    void setLibrary(const std::vector<std::string>& names) {
        videos.clear();
        std::vector<LibraryItemPtr> listing;
        for (const auto& name : names) {
            videos.push_back(controls_testing::makeVideo(name));
            listing.push_back(videos.back());
        }
        manager->update(listing);
    }
    PlaybackInfoPtr playing(const VideoPtr& video, int chapterCount = 0, bool withSubtitles = false) {
        auto info = PlaybackInfo::create(nullptr, manager, video, false, false, std::nullopt);
        info->setChapters(chapters(chapterCount));
        std::vector<Track> subtitles{Track::none(TrackType::subtitle)};
        if (withSubtitles) subtitles.push_back({TrackType::subtitle, 1, "English"});
        info->setTracks({}, {Track::none(TrackType::audio)}, subtitles);
        return info;
    }
    void open(const PlaybackInfoPtr& info, std::optional<double> maxHeight = std::nullopt) {
        menu = VideoMenuPopoverViewController::create();
        menu->setPlaybackInfo(info);
        menu->setVideoManager(manager);
        menu->setVideoControlDelegate(controlDelegate);
        menu->setScreenshotHandler([this](bool withSubtitles) { screenshots.push_back(withSubtitles); });
        menu->setMaxHeight(maxHeight);
        player->present(menu, false);
    }
    std::vector<ui::IndexPath> selected() const { return menu->collectionView()->selectedIndexPaths(); }
    // A finger on the header's segment `index`, lifted at once, as a person switches the list.
    void touchSegment(int index) {
        window->layoutIfNeeded();
        auto segments = menu->header()->chapterPlaylistSegmentedControl();
        const auto at = segments->convertToWindow(segments->segmentFrame(index).center());
        ui::Finger finger(window);
        finger.down(at);
        finger.up(at);
        ASSERT_EQ(segments->selectedSegmentIndex(), index);
    }
    std::string selectedTitle() {
        auto rows = selected();
        if (rows.size() != 1) return "<" + std::to_string(rows.size()) + " rows>";
        auto cell = std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(menu->collectionView()->cellAt(rows[0]));
        return cell ? cell->titleLabel()->text().value_or("") : "<not a video>";
    }
};

TEST_F(VideoMenuTest, ALibraryVideoOpensOnThePlaylistWithItselfSelected) {
    open(playing(videos[1]));
    EXPECT_EQ(menu->listMode(), ListType::playlist);
    EXPECT_EQ(menu->collectionView()->numberOfItems(0), 3);
    EXPECT_EQ(selectedTitle(), "Beta");
    EXPECT_EQ(menu->header()->chapterPlaylistSegmentedControl()->selectedSegmentIndex(), 0);
    EXPECT_TRUE(menu->header()->shouldHideSegmentedControl());  // fewer than two chapters
    EXPECT_EQ(menu->header()->titleLabel()->text(), "Beta");
}

TEST_F(VideoMenuTest, TheMenuLaysOutWithoutBreakingAConstraint) {
    std::vector<std::string> warnings;
    base::ScopedLogSink sink([&](base::LogLevel level, std::string_view category, std::string_view message) {
        if (level >= base::LogLevel::warning && category == "layout") warnings.emplace_back(message);
    });
    open(playing(videos[1], 0, true));
    window->layoutIfNeeded();
    EXPECT_EQ(warnings, std::vector<std::string>{});
    auto button = menu->header()->screenshotButton();
    EXPECT_EQ(button->frame().height(), 30);
    EXPECT_FALSE(button->titleLabel()->textFrame().isTruncated()) << "the title shows whole";
    auto row = std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(menu->collectionView()->cellAt({0, 0}));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->frame().height(), 65);
    EXPECT_EQ(row->thumbnail()->frame().height(), 45);
}

TEST_F(VideoMenuTest, APlaylistTitleKeepsItsWidthAfterTheChaptersShowedAndWentAgain) {
    setLibrary({"First Video", "Second Video"});
    open(playing(videos[0], 3));
    ASSERT_EQ(menu->listMode(), ListType::playlist);
    const auto title = [this] {
        window->layoutIfNeeded();
        auto row = std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(menu->collectionView()->cellAt({0, 1}));
        return row ? row->titleLabel()->frame() : ui::Rect();
    };
    const auto first = title();
    ASSERT_GT(first.width(), 0);
    ASSERT_FALSE(menu->collectionView()->cellAt({0, 1}) == nullptr);
    touchSegment(1);
    ASSERT_EQ(menu->listMode(), ListType::chapters);
    touchSegment(0);
    ASSERT_EQ(menu->listMode(), ListType::playlist);
    const auto again = title();
    EXPECT_EQ(again, first);
    auto row = std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(menu->collectionView()->cellAt({0, 1}));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->titleLabel()->textFrame().lines().size(), 1u) << "\"Second Video\" on one line";
}

TEST_F(VideoMenuTest, AFileFromElsewhereWithChaptersOpensOnTheChapters) {
    auto outside = controls_testing::makeVideo("Outside.mkv", true);
    auto info = playing(outside, 3);
    info->setCurrentChapter(1);
    open(info);
    EXPECT_EQ(menu->listMode(), ListType::chapters);
    EXPECT_TRUE(menu->header()->shouldHideSegmentedControl());
    EXPECT_FALSE(menu->collectionView()->isHidden());
    EXPECT_EQ(selected(), std::vector<ui::IndexPath>{ui::IndexPath(0, 1)});
}

TEST_F(VideoMenuTest, AFileFromElsewhereWithoutChaptersShowsOnlyTheHeader) {
    open(playing(controls_testing::makeVideo("Outside.mkv", true), 1));
    EXPECT_TRUE(menu->collectionView()->isHidden());
    EXPECT_EQ(menu->preferredContentSize(), ui::Size(350, 115));
}

TEST_F(VideoMenuTest, TheRememberedTabNeedsTwoChapters) {
    auto info = playing(videos[0], 1);
    info->setVideoMenuTab(ListType::chapters);
    open(info);
    EXPECT_EQ(menu->listMode(), ListType::playlist);
    player->dismiss(false);
    info = playing(videos[0], 4);
    info->setVideoMenuTab(ListType::chapters);
    info->setCurrentChapter(2);
    open(info);
    EXPECT_EQ(menu->listMode(), ListType::chapters);
    EXPECT_FALSE(menu->header()->shouldHideSegmentedControl());
    EXPECT_EQ(selected(), std::vector<ui::IndexPath>{ui::IndexPath(0, 2)});
}

TEST_F(VideoMenuTest, ChoosingChaptersIsRememberedForTheNextOpening) {
    auto info = playing(videos[0], 3);
    open(info);
    ASSERT_NO_FATAL_FAILURE(touchSegment(1));
    EXPECT_EQ(menu->listMode(), ListType::chapters);
    EXPECT_EQ(info->videoMenuTab(), ListType::chapters);
    player->dismiss(false);
    info->setCurrentChapter(2);
    open(info);
    EXPECT_EQ(menu->listMode(), ListType::chapters);
    EXPECT_EQ(selected(), std::vector<ui::IndexPath>{ui::IndexPath(0, 2)});
    EXPECT_EQ(menu->collectionView()->lastScrolledToItem(), ui::IndexPath(0, 2));
    auto cell = std::dynamic_pointer_cast<VideoMenuChapterCell>(menu->collectionView()->cellAt({0, 2}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->titleLabel()->text(), "Chapter 3");
    EXPECT_EQ(cell->startTimeLabel()->text(), "2:00");
}

TEST_F(VideoMenuTest, ChapterSelectionFollowsThePlayerAndIgnoresChaptersOutOfRange) {
    auto info = playing(videos[0], 3);
    info->setCurrentChapter(-1);  // before the first chapter
    info->setVideoMenuTab(ListType::chapters);
    open(info);
    EXPECT_TRUE(selected().empty());
    info->setCurrentChapter(1);
    EXPECT_EQ(selected(), std::vector<ui::IndexPath>{ui::IndexPath(0, 1)});
    info->setCurrentChapter(3);
    EXPECT_EQ(selected(), std::vector<ui::IndexPath>{ui::IndexPath(0, 1)});
    info->setCurrentChapter(-1);
    EXPECT_EQ(selected(), std::vector<ui::IndexPath>{ui::IndexPath(0, 1)});
    menu->collectionView()->tapItem({0, 2});
    EXPECT_EQ(controlDelegate->calls, Strings{"selectChapter 2"});
}

TEST_F(VideoMenuTest, ThePlayingVideoCannotBeChosenAgainAndAnotherSwitches) {
    open(playing(videos[1]));
    EXPECT_FALSE(menu->collectionView()->tapItem({0, 1}));
    EXPECT_TRUE(player->calls.empty());
    menu->collectionView()->tapItem({0, 2});
    EXPECT_EQ(player->calls, Strings{"switchToVideo Gamma.mp4"});
    menu->setPlaybackInfo(playing(videos[2]));  // the player, once the new file has loaded
    EXPECT_EQ(selectedTitle(), "Gamma");
    EXPECT_EQ(menu->collectionView()->numberOfItems(0), 3);
}

TEST_F(VideoMenuTest, LosingChaptersFallsBackToThePlaylist) {
    auto info = playing(videos[0], 3);
    info->setVideoMenuTab(ListType::chapters);
    open(info);
    menu->setPlaybackInfo(playing(videos[1], 0));
    EXPECT_EQ(menu->listMode(), ListType::playlist);
    EXPECT_EQ(menu->header()->chapterPlaylistSegmentedControl()->selectedSegmentIndex(), 0);
    EXPECT_EQ(selectedTitle(), "Beta");
}

TEST_F(VideoMenuTest, TheHeightFollowsTheWidthClassAndTheRoomGiven) {
    setLibrary({"a.mp4", "b.mp4", "c.mp4", "d.mp4", "e.mp4", "f.mp4", "g.mp4", "h.mp4", "i.mp4", "j.mp4"});
    open(playing(videos[0]));
    EXPECT_EQ(menu->preferredContentSize(), ui::Size(350, 310));
    player->dismiss(false);
    ui::TraitCollection regular;
    regular.horizontalSizeClass = ui::UserInterfaceSizeClass::regular;
    window->setTraitCollection(regular);
    open(playing(videos[0]));
    EXPECT_EQ(menu->preferredContentSize().height, 600);
    player->dismiss(false);
    open(playing(videos[0]), 200);
    EXPECT_EQ(menu->preferredContentSize().height, 200);
    player->dismiss(false);
    setLibrary({"a.mp4"});
    open(playing(videos[0]));
    EXPECT_EQ(menu->preferredContentSize().height, 65 + 115);
}

TEST_F(VideoMenuTest, AThumbnailRedrawsItsRowOnlyWhileThatPlaylistShows) {
    auto info = playing(videos[0], 3);
    open(info);
    auto playlist = menu->playlistDataSource();
    menu->reloadPlaylistItems({videos[2]});
    loop.runUntilIdle();
    EXPECT_TRUE(playlist->lastApplyAnimated());
    EXPECT_EQ(playlist->lastDifference().reloaded, std::vector<ui::IndexPath>{ui::IndexPath(0, 2)});

    menu->playlistDataSource()->apply(playlist->snapshot(), false);
    menu->reloadPlaylistItems({controls_testing::makeVideo("Elsewhere.mp4")});
    loop.runUntilIdle();
    EXPECT_FALSE(playlist->lastApplyAnimated());  // not in the playlist: nothing to redraw

    menu->reloadPlaylistItems({videos[1]});
    ASSERT_NO_FATAL_FAILURE(touchSegment(1));  // before the main queue turns
    loop.runUntilIdle();
    EXPECT_FALSE(playlist->lastApplyAnimated());
    EXPECT_EQ(menu->collectionView()->dataSource(), menu->chaptersDataSource());
    EXPECT_TRUE(std::dynamic_pointer_cast<VideoMenuChapterCell>(menu->collectionView()->cellAt({0, 0})));
}

TEST_F(VideoMenuTest, ARowWithoutThumbnailIsEmptyUntilOneArrives) {
    open(playing(videos[0]));
    auto cell = std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(menu->collectionView()->cellAt({0, 1}));
    ASSERT_TRUE(cell);
    EXPECT_FALSE(cell->thumbnail()->image());
    EXPECT_FALSE(cell->durationLabel()->text());
    auto image = std::make_shared<gfx::Image>(8, 8);  // the manager's memory cache holds it
    menu->thumbnailLoaded(videos[1], image);
    loop.runUntilIdle();
    cell = std::dynamic_pointer_cast<VideoMenuPlaylistItemCell>(menu->collectionView()->cellAt({0, 1}));
    ASSERT_TRUE(cell->thumbnail()->image());
    EXPECT_EQ(cell->thumbnail()->image()->size(), ui::Size(8, 8));
}

TEST_F(VideoMenuTest, TheScreenshotButtonOffersAMenuOnlyForVideosWithSubtitles) {
    open(playing(videos[0]));
    EXPECT_FALSE(menu->header()->screenshotButton()->menu());
    menu->header()->screenshotButton()->tap();
    EXPECT_EQ(screenshots, std::vector<bool>{true});
    EXPECT_FALSE(menu->header()->screenshotButton()->isEnabled());
    player->dismiss(false);

    open(playing(videos[0], 0, true));
    auto screenshotMenu = menu->header()->screenshotButton()->menu();
    ASSERT_TRUE(screenshotMenu);
    ASSERT_EQ(screenshotMenu->children().size(), 3u);
    auto inlineMenu = std::dynamic_pointer_cast<ui::Menu>(screenshotMenu->children()[2]);
    ASSERT_TRUE(inlineMenu);
    EXPECT_TRUE(inlineMenu->displaysInline());
    auto deferred = std::dynamic_pointer_cast<ui::DeferredMenuElement>(inlineMenu->children()[0]);
    ASSERT_TRUE(deferred);
    EXPECT_TRUE(deferred->isUncached());
    auto method = std::dynamic_pointer_cast<ui::Menu>(deferred->resolve()[0]);
    ASSERT_TRUE(method);
    EXPECT_EQ(method->title(), "Default Method");
    EXPECT_EQ(method->findAction("With Subtitles")->state(), ui::Action::State::on);
    method->selectAction("Without Subtitles");
    EXPECT_FALSE(Preferences::shared().screenshotWithSubtitles.wrappedValue());
    EXPECT_TRUE(screenshots.size() == 1);  // choosing the default takes none
    EXPECT_TRUE(screenshotMenu->selectAction("With Subtitles"));
    EXPECT_EQ(screenshots, (std::vector<bool>{true, true}));
    menu->header()->screenshotButton()->setEnabled(true);
    menu->header()->screenshotButton()->tap();
    EXPECT_EQ(screenshots.back(), false);  // the new default
}

TEST_F(VideoMenuTest, BeforeVersion15TheMenuHoldsTheTwoActionsOnly) {
    ui::ScopedPlatformVersion version({14, 0, 0});
    open(playing(videos[0], 0, true));
    EXPECT_EQ(menu->header()->screenshotButton()->menu()->children().size(), 2u);
}

TEST_F(VideoMenuTest, ASuccessShowsTheCheckMarkForTwoSecondsAndAFailureOnlyReenables) {
    open(playing(videos[0]));
    auto header = menu->header();
    header->screenshotButton()->tap();
    foundation::NotificationCenter::defaultCenter().post(kScreenshotFailed);
    EXPECT_TRUE(header->screenshotButton()->isEnabled());
    EXPECT_EQ(header->screenshotButtonSuccessIcon()->alpha(), 0);
    header->screenshotButton()->tap();
    foundation::NotificationCenter::defaultCenter().post(kScreenshotSucceeded);
    EXPECT_TRUE(header->screenshotButton()->isEnabled());
    EXPECT_EQ(header->screenshotButtonSuccessIcon()->alpha(), 1);
    auto& icon = header->screenshotButtonSuccessIcon()->layer();
    loop.advanceSeconds(0.3);  // faded in; the fade out is set, 2 s ahead
    EXPECT_EQ(header->screenshotButtonSuccessIcon()->alpha(), 0);
    EXPECT_EQ(icon.presentationOpacity(), 1);
    loop.advanceSeconds(1.9);
    EXPECT_EQ(icon.presentationOpacity(), 1);
    loop.advanceSeconds(0.25);
    EXPECT_GT(icon.presentationOpacity(), 0);
    EXPECT_LT(icon.presentationOpacity(), 1);
    loop.advanceSeconds(0.2);  // 0.3 + 2.0 + 0.3 s after the success
    EXPECT_EQ(icon.presentationOpacity(), 0);
    EXPECT_TRUE(icon.animationKeys().empty());
}

TEST_F(VideoMenuTest, TheOtherPopoverButtonsAreGreyWhileTheMenuShows) {
    auto bar = player->controls->bottomControlView();
    open(playing(videos[0]));
    EXPECT_EQ(bar->optionsButton()->tintColor(), ui::Color::gray());
    EXPECT_EQ(bar->audioSubtitlesButton()->tintColor(), ui::Color::gray());
    player->dismiss(false);
    EXPECT_EQ(bar->optionsButton()->tintColor(), ui::Color::white());
}

TEST(VideoMenuHeaderTest, TheHeaderIs115HighAndHidesItsSwitchOnChange) {
    dispatch::ScopedMainRunLoop loop;
    auto header = VideoMenuHeaderView::create();
    EXPECT_EQ(header->intrinsicContentSize().height, 115);
    EXPECT_EQ(header->chapterPlaylistSegmentedControl()->titleForSegment(1), "Chapters");
    EXPECT_EQ(header->chapterPlaylistSegmentedControl()->selectedSegmentIndex(), ui::SegmentedControl::noSegment);
    header->setShouldHideSegmentedControl(true);
    EXPECT_TRUE(header->chapterPlaylistSegmentedControl()->isHidden());
    header->setTitle(std::string(200, 'x'));
    EXPECT_EQ(header->titleLabel()->numberOfLines(), 2);
    EXPECT_EQ(header->titleLabel()->minimumScaleFactor(), 0.5);
    EXPECT_EQ(header->layer().maskedCorners(), ui::minXMinYCorner | ui::maxXMinYCorner);
}

TEST(VideoMenuCellsTest, SelectionMarksThePlayingVideoAndTheCurrentChapter) {
    dispatch::ScopedMainRunLoop loop;
    auto video = VideoMenuPlaylistItemCell::create();
    EXPECT_TRUE(video->overlay()->isHidden());
    video->setSelected(true);
    EXPECT_FALSE(video->overlay()->isHidden());
    EXPECT_EQ(video->selectionView()->backgroundColor(), ui::Color::systemBlue());
    EXPECT_EQ(video->intrinsicContentSize().height, 65);

    auto chapter = VideoMenuChapterCell::create();
    chapter->setSelected(true);
    EXPECT_EQ(chapter->iconView()->image()->symbolName(), "bookmark.fill");
    EXPECT_EQ(chapter->startTimeLabel()->textColor(), ui::Color::white());
    chapter->setSelected(false);
    EXPECT_EQ(chapter->iconView()->image()->symbolName(), "bookmark");
    EXPECT_EQ(chapter->startTimeLabel()->textColor(), ui::Color::secondaryLabel());
    EXPECT_EQ(chapter->titleLabel()->textColor(), ui::Color::white());
}

}  // namespace
}  // namespace reelhaven

#include <cmath>

#include "controls/audio_subtitle_popover_view_controller.h"
#include "controls/bottom_control_view.h"
#include "controls/options_popover_view_controller.h"
#include "controls/title_view.h"
#include "controls/top_control_view.h"
#include "controls/video_control_view.h"
#include "controls/video_menu_popover_view_controller.h"
#include "output/mpv_glk_view.h"
#include "platform/base/fatal.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/layout/layout_constraint.h"
#include "playback/player_screen_fixture.h"

namespace reelhaven::playback_test {
namespace {

double number(const std::optional<std::string>& text) { return text ? std::stod(*text) : -1; }

TEST_F(PlayerScreenTest, ShownControlsHideAfterFourSecondsWhilePlaying) {
    openLoaded("long.mp4");
    player->scheduleHideControls(false);
    auto controls = player->controlView();
    EXPECT_FALSE(controls->isHidden());
    EXPECT_FALSE(player->hideStatusBar());
    mainLoop.advanceSeconds(3.9);
    EXPECT_FALSE(player->controlsAreAnimating());
    mainLoop.advanceSeconds(0.1);
    EXPECT_TRUE(player->controlsAreAnimating());
    EXPECT_NEAR(controls->alpha(), 0.02, 1e-6);
    EXPECT_TRUE(player->hideStatusBar());
    EXPECT_FALSE(player->hideControls());
    mainLoop.advanceSeconds(0.3);
    EXPECT_TRUE(player->hideControls());
    EXPECT_TRUE(controls->isHidden());
    EXPECT_FALSE(player->controlsAreAnimating());
    EXPECT_TRUE(player->playbackInfo()->hideControls());
}

TEST_F(PlayerScreenTest, PausedControlsStayUnlessAskedAndShowingAgainCancelsTheHide) {
    openLoaded("long.mp4");
    player->setPaused(true, true);
    player->scheduleHideControls(false);
    mainLoop.advanceSeconds(10);
    EXPECT_FALSE(player->hideControls());
    player->scheduleHideControls(true);
    mainLoop.advanceSeconds(2);
    player->showControls();  // cancels the pending hide
    mainLoop.advanceSeconds(10);
    EXPECT_FALSE(player->hideControls());
    player->scheduleHideControls(true);
    mainLoop.advanceSeconds(4.3);
    EXPECT_TRUE(player->hideControls());
}

TEST_F(PlayerScreenTest, AnOpenPopoverKeepsTheControlsAndASecondTapClosesIt) {
    openLoaded("long.mp4");
    player->showAudioSubtitlePopover();
    settle();
    auto popover = std::dynamic_pointer_cast<AudioSubtitlePopoverViewController>(player->presentedViewController());
    ASSERT_TRUE(popover);
    player->scheduleHideControls(false);
    mainLoop.advanceSeconds(10);
    EXPECT_FALSE(player->hideControls());
    player->showAudioSubtitlePopover();
    mainLoop.advanceSeconds(ui::ViewController::transitionDuration);
    EXPECT_EQ(player->presentedViewController(), nullptr);
    mainLoop.advanceSeconds(4.3);
    EXPECT_TRUE(player->hideControls()) << "closing restarts the auto-hide";
}

TEST_F(PlayerScreenTest, PopoversAreAnchoredToTheirButtonsAndStayPopovers) {
    openLoaded("long.mp4");
    auto controls = player->controlView();
    auto bottom = controls->bottomControlView();
    auto top = controls->topControlView();
    const double maxHeight = (bottom->frame().minY() - top->frame().minY()) - top->frame().size.height - 14;

    player->showAudioSubtitlePopover();
    settle();
    auto audio = player->presentedViewController();
    auto presentation = audio->popoverPresentationController();
    EXPECT_EQ(presentation->sourceView(), bottom->audioSubtitlesButton());
    EXPECT_EQ(presentation->sourceRect(), bottom->audioSubtitlesButton()->bounds().offsetBy(130, -55));
    EXPECT_EQ(presentation->permittedArrowDirections(), ui::popoverArrowDown);
    EXPECT_EQ(presentation->popoverBackgroundViewClassName(), "TransparentPopoverBackgroundDown");
    EXPECT_EQ(presentation->popoverLayoutMargins(), (ui::EdgeInsets{0, 0, 0, 10}));
    EXPECT_EQ(presentation->backgroundColor(), ui::Color::clear());
    EXPECT_EQ(presentation->passthroughViews().size(), 3u);
    EXPECT_EQ(audio->effectivePresentationStyle(), ui::ModalPresentationStyle::popover);
    EXPECT_GT(maxHeight, 0);
    player->dismiss(false);

    player->showOptionsPopover();  // asks mpv about interlacing first
    ASSERT_TRUE(waitFor([&] { return player->presentedViewController() != nullptr; }));
    settle();
    auto options = player->presentedViewController()->popoverPresentationController();
    EXPECT_EQ(options->sourceView(), bottom->optionsButton());
    EXPECT_EQ(options->sourceRect(), bottom->optionsButton()->bounds().offsetBy(130, -55));
    EXPECT_EQ(options->popoverLayoutMargins(), (ui::EdgeInsets{0, 10, 0, 10}));
    player->dismiss(false);

    player->showVideoMenuPopover();
    settle();
    auto menu = player->presentedViewController()->popoverPresentationController();
    EXPECT_EQ(menu->sourceView(), top->videoMenuButtonView()->button());
    EXPECT_EQ(menu->permittedArrowDirections(), ui::popoverArrowUp);
    EXPECT_EQ(menu->popoverBackgroundViewClassName(), "TransparentPopoverBackgroundUp");
    EXPECT_EQ(menu->popoverLayoutMargins(), (ui::EdgeInsets{0, 0, 0, 10}));
}

// The bottom bar's anchors are moved right of their buttons and the video menu's button sits at
// the top right, so centred on their anchors the popovers would leave the screen's margins: each
// stops at the margin it would cross, and stays inside the other.
TEST_F(PlayerScreenTest, PopoversNearAnEdgeKeepTheirMarginsFromIt) {
    openLoaded("long.mp4");
    auto check = [&](const char* name) {
        auto presented = player->presentedViewController();
        ASSERT_TRUE(presented) << name;
        auto presentation = presented->popoverPresentationController();
        const ui::Rect popover = presentation->backgroundView()->frame();
        const ui::Rect anchor = presentation->sourceView()->convert(presentation->sourceRect(), nullptr);
        const double left = presentation->popoverLayoutMargins().left;
        const double right = 640 - presentation->popoverLayoutMargins().right;
        const bool crossesRight = anchor.midX() + popover.size.width / 2 > right;
        ASSERT_TRUE(crossesRight || anchor.midX() - popover.size.width / 2 < left)
            << name << ": centred it would keep its margins anyway";
        EXPECT_EQ(crossesRight ? popover.maxX() : popover.minX(), crossesRight ? right : left) << name;
        EXPECT_GE(popover.minX(), left) << name;
        EXPECT_LE(popover.maxX(), right) << name;
        EXPECT_EQ(presented->view()->frame(), popover) << name << ": no content insets in these backgrounds";
    };
    player->showAudioSubtitlePopover();
    settle();
    check("audio and subtitles");
    player->dismiss(false);
    player->showOptionsPopover();
    ASSERT_TRUE(waitFor([&] { return player->presentedViewController() != nullptr; }));
    settle();
    check("options");
    player->dismiss(false);
    player->showVideoMenuPopover();
    settle();
    check("video menu");
}

TEST_F(PlayerScreenTest, RotatingClosesAnOpenPopover) {
    openLoaded("long.mp4");
    player->showAudioSubtitlePopover();
    settle();
    ASSERT_TRUE(player->presentedViewController());
    window->transitionToSize({360, 640});
    EXPECT_EQ(player->presentedViewController(), nullptr);
    mainLoop.advanceSeconds(0.3);
    EXPECT_EQ(player->view()->bounds().size, (ui::Size{360, 640}));
}

TEST_F(PlayerScreenTest, TheTitleFadesInAfterADelayAndOutFourSecondsAfterItWasShown) {
    openLoaded("long.mp4");
    auto title = player->titleView();
    player->showTitleView();
    EXPECT_FALSE(title->isHidden());
    EXPECT_DOUBLE_EQ(title->alpha(), 1.0) << "the model value; the layer animates from 0.02";
    mainLoop.advanceSeconds(3.9);
    EXPECT_FALSE(title->isHidden());
    mainLoop.advanceSeconds(0.1);
    EXPECT_NEAR(title->alpha(), 0.02, 1e-6);
    EXPECT_FALSE(title->isHidden());
    mainLoop.advanceSeconds(0.5);
    EXPECT_TRUE(title->isHidden());
}

TEST_F(PlayerScreenTest, TimeLabelsWidenForLongVideosAndForTheRemainingTime) {
    openLoaded("long.mp4");
    auto controls = player->controlView();
    auto bar = controls->bottomControlView();
    controls->setProgressLabelStyle(ProgressLabelStyle::progressDuration);
    player->updateProgressLabelWidths();
    EXPECT_EQ(bar->progressLabelWidthConstraint()->constant(), 47);
    EXPECT_EQ(bar->durationLabelWidthConstraint()->constant(), 47);
    EXPECT_EQ(preferences->progressLabelStyle.wrappedValue(), "progressDuration");
    controls->setProgressLabelStyle(ProgressLabelStyle::progressTimeRemaining);
    player->updateProgressLabelWidths();
    EXPECT_EQ(bar->durationLabelWidthConstraint()->constant(), 57);
    EXPECT_EQ(preferences->progressLabelStyle.wrappedValue(), "progressTimeRemaining");
    player->playbackInfo()->setDuration(3601);
    player->updateProgressLabelWidths();
    EXPECT_EQ(bar->progressLabelWidthConstraint()->constant(), 63);
    EXPECT_EQ(bar->durationLabelWidthConstraint()->constant(), 73);
}

TEST_F(PlayerScreenTest, TheVideoViewTakesTheVideosAspectInEachContentMode) {
    openLoaded("classic.mkv");  // 300x200
    ASSERT_TRUE(waitFor([&] { return player->playbackInfo()->aspectRatio() == 1.5; }));
    window->layoutIfNeeded();
    auto glk = player->glkView();
    EXPECT_EQ(glk->frame(), (ui::Rect{50, 0, 540, 360}));
    auto constraint = player->aspectRatioConstraint();
    player->updateAspectRatioConstraint(std::nullopt, 1.5, 0);
    EXPECT_EQ(player->aspectRatioConstraint(), constraint) << "the same aspect does not rebuild it";
    // A ratio no picture has (a damaged progress record's) leaves the view as it is.
    for (double unusable : {1e308, 100.0, 0.0, -1.5, std::nan("")})
        player->updateAspectRatioConstraint(unusable, std::nullopt, std::nullopt);
    EXPECT_EQ(player->aspectRatioConstraint(), constraint);
    EXPECT_EQ(player->playbackInfo()->aspectRatio(), 1.5);
    window->layoutIfNeeded();
    EXPECT_EQ(glk->frame(), (ui::Rect{50, 0, 540, 360}));

    player->toggleAspectRatio();
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFill);
    EXPECT_EQ(player->playbackInfo()->contentMode(), ContentMode::aspectFill);
    window->layoutIfNeeded();
    EXPECT_NEAR(glk->frame().size.width, 640, 0.01);
    EXPECT_NEAR(glk->frame().size.height, 426.67, 0.01);
    player->toggleAspectRatio();
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFit);
    window->layoutIfNeeded();
    EXPECT_EQ(glk->frame(), (ui::Rect{50, 0, 540, 360}));
}

TEST_F(PlayerScreenTest, AQuarterTurnEitherWayUsesTheInverseAspect) {
    for (const char* name : {"halves-rot-90.mp4", "rotated.mp4"}) {  // mpv: turned 90 and 270 degrees
        openLoaded(name);
        ASSERT_TRUE(waitFor([&] { return player->playbackInfo()->aspectRatio().has_value(); }));
        EXPECT_NEAR(*player->playbackInfo()->aspectRatio(), 180.0 / 320.0, 1e-6)
            << name << ": mpv turns it by " << property("video-params/rotate").value_or("?");
        player->close(false);
        ASSERT_TRUE(waitForDismissal());
        flush();
    }
    player->updateAspectRatioConstraint(std::nullopt, 16.0 / 9.0, 180);
    EXPECT_NEAR(*player->playbackInfo()->aspectRatio(), 16.0 / 9.0, 1e-9) << "a half turn keeps the aspect";
}

TEST_F(PlayerScreenTest, ThePicturesSizeIsReadOnTheCommandQueueForPictureInPicture) {
    openLoaded("halves-rot90.mp4");  // 320x180, turned a quarter
    auto renderer = player->videoRenderer();
    auto target = [&] {
        return VideoRenderer::renderQueue()->syncValue([&] { return renderer->pictureInPictureRenderTarget(); });
    };
    EXPECT_TRUE(waitFor([&] { return target() == PixelSize{180, 320}; }));
    base::ScopedFatalThrows fatalThrows;
    EXPECT_THROW(player->updatePictureInPictureSize(), base::FatalError) << "not on the main thread";
}

class SubtitlePositionTest : public PlayerScreenTest {
protected:
    void SetUp() override {
        PlayerScreenTest::SetUp();
        preferences->subtitlePositionAuto.setWrappedValue(true);
    }
    // The bar's height and the gap of a regular height (7 points) above the safe area (none here).
    double raise() const { return 7 + player->controlView()->bottomControlView()->bounds().size.height; }
    double subPos() { return number(property("sub-pos")); }
};

TEST_F(SubtitlePositionTest, ShowingTheControlsRaisesSubtitlesAboveTheBar) {
    openLoaded("long.mp4");  // 16:9 fills the 640x360 window: no letterbox
    window->layoutIfNeeded();
    player->updateSubtitlePosition();
    EXPECT_EQ(subPos(), 100);
    player->scheduleHideControls(false);
    window->layoutIfNeeded();
    EXPECT_TRUE(player->relativeSubtitlePosition());
    const double G = player->glkView()->bounds().size.height;
    ASSERT_NEAR(G, 360, 1e-4);
    EXPECT_EQ(subPos(), 100 - std::floor(raise() / G * 100));
    mainLoop.advanceSeconds(4.3);
    EXPECT_FALSE(player->relativeSubtitlePosition());
    EXPECT_EQ(subPos(), 100);
}

TEST_F(SubtitlePositionTest, AFilledPictureKeepsSubtitlesInsideItsVisiblePart) {
    openLoaded("classic.mkv");
    ASSERT_TRUE(waitFor([&] { return player->playbackInfo()->aspectRatio() == 1.5; }));
    player->toggleAspectRatio();  // fill: 640 x 426.67, overflowing the 360-point screen
    window->layoutIfNeeded();
    const double G = player->glkView()->bounds().size.height;
    const double overflow = G - 360;
    player->updateSubtitlePosition();
    const double base = std::floor(100 - 50 * overflow / G);
    EXPECT_EQ(subPos(), base);
    player->scheduleHideControls(false);
    EXPECT_EQ(subPos(), base - std::floor(raise() / G * 100));
}

class TallScreenSubtitleTest : public SubtitlePositionTest {
protected:
    void SetUp() override {
        screenSize = {360, 900};
        SubtitlePositionTest::SetUp();
    }
};

TEST_F(TallScreenSubtitleTest, ALetterboxTallerThanTheBarLeavesSubtitlesWhereTheyAre) {
    openLoaded("portrait.mp4");
    ASSERT_TRUE(waitFor([&] { return player->playbackInfo()->aspectRatio().has_value(); }));
    window->layoutIfNeeded();
    // 360 x 640 in a 900-point-high window: 260 points of letterbox, more than the bar.
    ASSERT_GT(900 - player->glkView()->bounds().size.height, raise());
    player->scheduleHideControls(false);
    EXPECT_EQ(subPos(), 100);
}

TEST_F(SubtitlePositionTest, PictureInPictureKeepsSubtitlesDown) {
    openLoaded("long.mp4");
    window->layoutIfNeeded();
    auto pip = player->pictureInPictureController();
    ASSERT_TRUE(pip);
    player->scheduleHideControls(false);
    EXPECT_LT(subPos(), 100);
    pip->startPictureInPicture();
    EXPECT_FALSE(player->relativeSubtitlePosition());
    EXPECT_EQ(subPos(), 100);
    player->showControls();
    EXPECT_EQ(subPos(), 100) << "showing the controls does not raise them either";
    pip->stopPictureInPicture();
    EXPECT_TRUE(player->relativeSubtitlePosition()) << "back with the controls showing";
    EXPECT_LT(subPos(), 100);
}

TEST_F(SubtitlePositionTest, AFixedPositionIsWrittenAsItStands) {
    preferences->subtitlePositionAuto.setWrappedValue(false);
    preferences->subtitlePosition.setWrappedValue(83);
    openLoaded("long.mp4");
    player->scheduleHideControls(false);
    EXPECT_EQ(subPos(), 83);
}

TEST(PlayerSeekRules, SliderSeeksAreExactOnShortVideosAndWhenScrubbingFinely) {
    EXPECT_STREQ(ReelhavenViewController::sliderSeekFlag(299, 1.0f), "absolute-percent+exact");
    EXPECT_STREQ(ReelhavenViewController::sliderSeekFlag(300, 1.0f), "absolute-percent");
    EXPECT_STREQ(ReelhavenViewController::sliderSeekFlag(7200, 0.5f), "absolute-percent");
    EXPECT_STREQ(ReelhavenViewController::sliderSeekFlag(7200, 0.1f), "absolute-percent+exact");
    EXPECT_STREQ(ReelhavenViewController::sliderSeekFlag(7200, 0.05f), "absolute-percent+exact");
    EXPECT_DOUBLE_EQ(ReelhavenViewController::sliderSeekTarget(100, 100), 99);
    EXPECT_DOUBLE_EQ(ReelhavenViewController::sliderSeekTarget(-3, 100), 0);
    EXPECT_DOUBLE_EQ(ReelhavenViewController::sliderSeekTarget(40, 100), 40);
    for (auto [text, seconds] : std::vector<std::pair<std::string, int>>{
             {"5", 5}, {"10", 10}, {"15", 15}, {"30", 30}, {"7", 10}, {"", 10}, {"15 ", 10}})
        EXPECT_EQ(ReelhavenViewController::skipInterval(text), seconds) << '"' << text << '"';
}

TEST_F(PlayerScreenTest, SkipsGoByTheIntervalSetting) {
    openLoaded("long.mp4");
    player->setPaused(true, true);
    player->seekTo(20);
    preferences->skipInterval.setWrappedValue("30");
    player->skipForward();
    ASSERT_TRUE(waitFor([&] { return std::abs(number(property("time-pos")) - 50) < 0.5; }));
    preferences->skipInterval.setWrappedValue("12");
    player->skipBackward();
    EXPECT_TRUE(waitFor([&] { return std::abs(number(property("time-pos")) - 40) < 0.5; }));
}

TEST_F(PlayerScreenTest, ScrubbingPausesSeeksExactlyAndResumes) {
    openLoaded("long.mp4");  // 65 s: every slider seek is exact
    auto slider = player->controlView()->bottomControlView()->progressBar();
    slider->sendActions(ui::touchDown);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_FALSE(player->hideControls());
    slider->setValue(50);
    slider->sendActions(ui::valueChanged);
    EXPECT_TRUE(player->playbackInfo()->isSeeking());
    ASSERT_TRUE(waitFor([&] { return std::abs(number(property("time-pos")) - 32.5) < 0.05; }));
    slider->setValue(100);  // the end: one second before it
    slider->sendActions(ui::valueChanged);
    slider->sendActions(ui::touchUpInside);
    EXPECT_NEAR(player->playbackInfo()->progress(), 64, 1e-9);
    EXPECT_FALSE(player->playbackInfo()->isPaused());
    EXPECT_TRUE(waitFor([&] { return number(property("time-pos")) >= 63.9; }));
}

TEST_F(PlayerScreenTest, ScrubbingAPausedVideoLeavesItPaused) {
    openLoaded("long.mp4");
    player->setPaused(true, true);
    auto slider = player->controlView()->bottomControlView()->progressBar();
    slider->sendActions(ui::touchDown);
    slider->setValue(20);
    slider->sendActions(ui::valueChanged);
    slider->sendActions(ui::touchUpInside);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_EQ(property("pause"), "yes");
    EXPECT_TRUE(waitFor([&] { return std::abs(number(property("time-pos")) - 13) < 0.05; }));
}

}  // namespace
}  // namespace reelhaven::playback_test

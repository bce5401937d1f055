#include <gtest/gtest.h>

#include <algorithm>

#include "controls/video_control_view.h"
#include "controls_test_support.h"
#include "core/preferences.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/window.h"
#include "playback/model/playback_info.h"

namespace reelhaven {
namespace {

using controls_testing::RecordingVideoControlDelegate;

ui::TraitCollection sizeClasses(ui::UserInterfaceSizeClass horizontal, ui::UserInterfaceSizeClass vertical) {
    ui::TraitCollection traits;
    traits.horizontalSizeClass = horizontal;
    traits.verticalSizeClass = vertical;
    return traits;
}

constexpr auto kCompact = ui::UserInterfaceSizeClass::compact;
constexpr auto kRegular = ui::UserInterfaceSizeClass::regular;

class ControlBarsTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    std::shared_ptr<TopControlView> top = TopControlView::create();
    std::shared_ptr<BottomControlView> bottom = BottomControlView::create();
    std::shared_ptr<VideoControlView> controls;
    std::shared_ptr<RecordingVideoControlDelegate> player = std::make_shared<RecordingVideoControlDelegate>();

    void SetUp() override {
        controls_testing::resetPreferences();
        controls = VideoControlView::create(top, bottom, ui::Rect(0, 0, 390, 844));
        window->addSubview(controls);
        controls->setDelegate(player);
    }
    std::string skipSymbols() const {
        return bottom->skipBackwardButton()->image(ui::normal)->symbolName() + " " +
               bottom->skipForwardButton()->image(ui::normal)->symbolName();
    }
    std::string playSymbol() const { return bottom->playPauseButton()->image(ui::normal)->symbolName(); }
    std::vector<std::shared_ptr<ui::View>> arranged(const std::shared_ptr<ui::StackView>& stack) const {
        return stack->arrangedSubviews();
    }
};

TEST_F(ControlBarsTest, EveryButtonReachesThePlayer) {
    bottom->skipBackwardButton()->tap();
    bottom->playPauseButton()->tap();
    bottom->skipForwardButton()->tap();
    bottom->optionsButton()->tap();
    bottom->audioSubtitlesButton()->tap();
    top->closeVideoButtonView()->button()->tap();
    top->videoMenuButtonView()->button()->tap();
    controls->aspectRatioButtonPressed();
    EXPECT_EQ(player->calls, (std::vector<std::string>{"skipBackward", "setPaused true ui", "skipForward",
                                                       "showOptionsPopover", "showAudioSubtitlePopover", "close false",
                                                       "showVideoMenuPopover", "toggleAspectRatio"}));
}

TEST_F(ControlBarsTest, PlayPauseNegatesThePlayersPauseState) {
    auto info = controls_testing::makePlaybackInfo();
    controls->setPlaybackInfo(info);
    info->setIsPaused(true);
    bottom->playPauseButton()->tap();
    info->setIsPaused(false);
    bottom->playPauseButton()->tap();
    EXPECT_EQ(player->calls, (std::vector<std::string>{"setPaused false ui", "setPaused true ui"}));
}

TEST_F(ControlBarsTest, PlayAndSkipsGiveALightImpactAroundTheCall) {
    auto haptics = controls->lightHapticFeedbackGenerator();
    EXPECT_EQ(haptics->impactStyle(), ui::FeedbackGenerator::ImpactStyle::light);
    bottom->playPauseButton()->tap();
    bottom->skipForwardButton()->tap();
    EXPECT_EQ(haptics->prepareCount(), 2);
    EXPECT_EQ(haptics->playCount(), 2);
    bottom->optionsButton()->tap();
    EXPECT_EQ(haptics->playCount(), 2);
    controls->setDelegate(nullptr);
    bottom->skipBackwardButton()->tap();  // still felt without a player
    EXPECT_EQ(haptics->playCount(), 3);
}

TEST_F(ControlBarsTest, AHiddenBarCallsNothingAndGivesNoImpact) {
    controls->setHidden(true);
    for (const auto& button : {bottom->skipBackwardButton(), bottom->playPauseButton(), bottom->skipForwardButton(),
                               bottom->optionsButton(), bottom->audioSubtitlesButton()}) {
        button->tap();
    }
    top->closeVideoButtonView()->button()->tap();
    controls->aspectRatioButtonPressed();
    EXPECT_TRUE(player->calls.empty());
    EXPECT_EQ(controls->lightHapticFeedbackGenerator()->playCount(), 0);
    controls->progressLabelTapped();  // the style still flips
    EXPECT_EQ(controls->progressLabelStyle(), ProgressLabelStyle::progressDuration);
}

TEST_F(ControlBarsTest, ReducedHapticsStillCallThePlayer) {
    Preferences::shared().reduceHaptics.setWrappedValue(true);
    bottom->playPauseButton()->tap();
    bottom->skipBackwardButton()->tap();
    EXPECT_EQ(player->calls.size(), 2u);
    EXPECT_EQ(controls->lightHapticFeedbackGenerator()->prepareCount(), 0);
    EXPECT_EQ(controls->lightHapticFeedbackGenerator()->playCount(), 0);
}

TEST_F(ControlBarsTest, TheTimeLabelsFollowTheStyle) {
    controls->updateProgressLabels(30, 100.4);
    EXPECT_EQ(bottom->progressLabel()->text(), "0:30");
    EXPECT_EQ(bottom->durationLabel()->text(), "-1:10");
    controls->setProgressLabelStyle(ProgressLabelStyle::progressDuration);
    controls->updateProgressLabels(-3, 100.4);
    EXPECT_EQ(bottom->progressLabel()->text(), "0:00");
    EXPECT_EQ(bottom->durationLabel()->text(), "1:40");
}

TEST_F(ControlBarsTest, TappingTheDurationTwiceTogglesBackAndAsksForWidthsEachTime) {
    auto recognizers = bottom->durationLabel()->gestureRecognizers();
    ASSERT_EQ(recognizers.size(), 1u);
    EXPECT_EQ(recognizers[0]->name(), "progressStateToggle");
    EXPECT_TRUE(bottom->durationLabel()->isUserInteractionEnabled());
    controls->progressLabelTapped();
    EXPECT_EQ(controls->progressLabelStyle(), ProgressLabelStyle::progressDuration);
    controls->progressLabelTapped();
    EXPECT_EQ(controls->progressLabelStyle(), ProgressLabelStyle::progressTimeRemaining);
    EXPECT_EQ(player->calls, (std::vector<std::string>{"updateProgressLabelWidths", "updateProgressLabelWidths"}));
}

TEST_F(ControlBarsTest, PlayPauseShowsTheStateItWouldChange) {
    EXPECT_EQ(playSymbol(), "pause.fill");
    EXPECT_FALSE(bottom->playPauseButton()->isSelected());
    controls->showPaused();
    EXPECT_EQ(playSymbol(), "play.fill");
    EXPECT_TRUE(bottom->playPauseButton()->isSelected());
    EXPECT_EQ(bottom->playPauseButton()->image(ui::normal)->symbolConfiguration()->pointSize, 24);
}

TEST_F(ControlBarsTest, SkipIconsFollowTheIntervalAndIgnoreOtherValues) {
    EXPECT_EQ(skipSymbols(), "gobackward.15 goforward.15");
    Preferences::shared().skipInterval.setWrappedValue("30");
    controls->updateSkipIntervalIcons();
    EXPECT_EQ(skipSymbols(), "gobackward.30 goforward.30");
    Preferences::shared().skipInterval.setWrappedValue("20");
    controls->updateSkipIntervalIcons();
    EXPECT_EQ(skipSymbols(), "gobackward.30 goforward.30");
    Preferences::shared().skipInterval.setWrappedValue("5");
    controls->updateSkipIntervalIcons();
    // The program's own 5-second images, drawn as the symbols of the other intervals are and at
    // their size (a picture of their own showed smaller, thinner and grey beside them).
    auto backward = bottom->skipBackwardButton()->image(ui::normal);
    auto forward = bottom->skipForwardButton()->image(ui::normal);
    ASSERT_TRUE(backward);
    ASSERT_TRUE(forward);
    EXPECT_EQ(backward->assetName(), "backward5");
    EXPECT_EQ(forward->assetName(), "forward5");
    EXPECT_EQ(skipSymbols(), "gobackward.5 goforward.5");
    EXPECT_EQ(backward->size(), ui::Size(26, 26));
    EXPECT_EQ(forward->size(), ui::Size(26, 26));
}

TEST_F(ControlBarsTest, SkipButtonsKeepTheirImagesWhenTheFiveSecondImagesCannotBeLoaded) {
    // The images stand in for unreadable files; the originals come back after the test.
    const auto backward = ui::Image::named("backward5");
    const auto forward = ui::Image::named("forward5");
    ui::Image::registerAsset("backward5", [] { return std::shared_ptr<ui::Image>(); });
    ui::Image::registerAsset("forward5", [] { return std::shared_ptr<ui::Image>(); });
    Preferences::shared().skipInterval.setWrappedValue("5");
    controls->updateSkipIntervalIcons();
    ui::Image::registerAsset("backward5", [backward] { return backward; });
    ui::Image::registerAsset("forward5", [forward] { return forward; });
    EXPECT_EQ(skipSymbols(), "gobackward.15 goforward.15");
}

TEST_F(ControlBarsTest, EachPopoverDimsTheOtherTwoButtons) {
    auto videoMenu = top->videoMenuButtonView()->button();
    auto options = bottom->optionsButton();
    auto tracks = bottom->audioSubtitlesButton();
    controls->dimButtonsForOptionsPopover(true);
    EXPECT_EQ(tracks->tintColor(), ui::Color::gray());
    EXPECT_EQ(videoMenu->tintColor(), ui::Color::gray());
    EXPECT_EQ(options->tintColor(), ui::Color::white());
    controls->dimButtonsForOptionsPopover(false);
    EXPECT_EQ(tracks->tintColor(), ui::Color::white());
    EXPECT_EQ(videoMenu->tintColor(), ui::Color::white());
    controls->dimButtonsForVideoMenuPopover(true);
    EXPECT_EQ(options->tintColor(), ui::Color::gray());
    EXPECT_EQ(tracks->tintColor(), ui::Color::gray());
    EXPECT_EQ(videoMenu->tintColor(), ui::Color::white());
    controls->dimButtonsForVideoMenuPopover(false);
    controls->dimButtonsForAudioSubtitlePopover(true);
    EXPECT_EQ(options->tintColor(), ui::Color::gray());
    EXPECT_EQ(videoMenu->tintColor(), ui::Color::gray());
    EXPECT_EQ(tracks->tintColor(), ui::Color::white());
}

TEST_F(ControlBarsTest, TheTopBarIsRoundedWithTwoRoundBlurredButtons) {
    EXPECT_EQ(top->layer().cornerRadius(), 16);
    EXPECT_TRUE(top->layer().masksToBounds());
    auto stack = top->stackView()->arrangedSubviews();
    ASSERT_EQ(stack.size(), 3u);
    EXPECT_EQ(stack[0], top->closeVideoButtonView());
    EXPECT_EQ(stack[2], top->videoMenuButtonView());
    EXPECT_EQ(top->closeVideoButtonView()->button()->image(ui::normal)->symbolName(), "xmark");
    EXPECT_EQ(top->videoMenuButtonView()->button()->image(ui::normal)->symbolName(), "list.and.film");
    EXPECT_EQ(top->closeVideoButtonView()->layer().cornerRadius(), 20);
    EXPECT_TRUE(top->videoMenuButtonView()->button()->isPointerInteractionEnabled());
    EXPECT_EQ(top->videoMenuButtonView()->visualEffectView()->effect(), ui::VisualEffectView::BlurStyle::dark);
}

TEST_F(ControlBarsTest, AControlViewWithoutItsBarsIsAProgrammingError) {
    base::ScopedFatalThrows fatal;
    EXPECT_THROW(VideoControlView::create(nullptr, bottom), base::FatalError);
}

TEST_F(ControlBarsTest, TheSizeClassesPickTheArrangement) {
    EXPECT_EQ(bottom->arrangement(), BottomControlView::Arrangement::stacked);  // compact x regular
    window->setTraitCollection(sizeClasses(kCompact, kCompact));
    EXPECT_EQ(bottom->arrangement(), BottomControlView::Arrangement::compact);
    window->setTraitCollection(sizeClasses(kCompact, ui::UserInterfaceSizeClass::unspecified));
    EXPECT_EQ(bottom->arrangement(), BottomControlView::Arrangement::compact);
    window->setTraitCollection(sizeClasses(kRegular, kCompact));
    EXPECT_EQ(bottom->arrangement(), BottomControlView::Arrangement::wide);
    window->setTraitCollection(sizeClasses(ui::UserInterfaceSizeClass::unspecified, kRegular));
    EXPECT_EQ(bottom->arrangement(), BottomControlView::Arrangement::wide);
}

TEST_F(ControlBarsTest, TheCompactArrangementIsOneRowWithTheTimesUnderTheBar) {
    window->setTraitCollection(sizeClasses(kCompact, kCompact));
    EXPECT_EQ(arranged(bottom->allControlsStack()),
              (std::vector<std::shared_ptr<ui::View>>{bottom->skipBackwardButton(), bottom->playPauseButton(),
                                                      bottom->skipForwardButton(), bottom->progressBarStack(),
                                                      bottom->optionsButton(), bottom->audioSubtitlesButton()}));
    EXPECT_EQ(arranged(bottom->progressBarStack()).size(), 3u);
    EXPECT_EQ(arranged(bottom->progressBarStack())[0], bottom->progressBar());
    EXPECT_EQ(arranged(bottom->progressBarStack())[1], bottom->labelsStack());
    EXPECT_EQ(bottom->allControlsStack()->customSpacing(bottom->skipForwardButton()), 13);
    EXPECT_EQ(bottom->progressBarStack()->customSpacing(bottom->labelsStack()), 6);
    EXPECT_EQ(bottom->progressBar()->thumbImage(ui::normal)->size(), ui::Size(20, 24));
    EXPECT_FALSE(bottom->progressLabelWidthConstraint()->isActive());
    EXPECT_EQ(bottom->progressLabel()->font().pointSize(), 12);
    EXPECT_EQ(bottom->labelsStack()->layoutMargins(), (ui::EdgeInsets{0, 7, 0, 7}));
}

TEST_F(ControlBarsTest, TheWideArrangementPutsTheTimesBesideTheBarWithTheirWidths) {
    window->setTraitCollection(sizeClasses(kRegular, kRegular));
    EXPECT_EQ(arranged(bottom->progressBarStack()),
              (std::vector<std::shared_ptr<ui::View>>{bottom->progressLabel(), bottom->progressBar(),
                                                      bottom->durationLabel()}));
    EXPECT_EQ(bottom->progressBarStack()->axis(), ui::LayoutAxis::horizontal);
    EXPECT_EQ(bottom->progressBarStack()->spacing(), 3);
    EXPECT_TRUE(bottom->progressLabelWidthConstraint()->isActive());
    EXPECT_TRUE(bottom->durationLabelWidthConstraint()->isActive());
    EXPECT_EQ(bottom->durationLabelWidthConstraint()->constant(), 47);
    EXPECT_EQ(bottom->progressLabel()->font().pointSize(), 16);
    EXPECT_TRUE(bottom->progressLabel()->font().fontDescriptor().hasMonospacedDigits());
    EXPECT_EQ(bottom->progressLabel()->textAlignment(), ui::TextAlignment::right);
    EXPECT_EQ(bottom->progressBar()->thumbImage(ui::highlighted)->size(), ui::Size(20, 50));
}

TEST_F(ControlBarsTest, TheStackedArrangementIsTwoRows) {
    EXPECT_EQ(arranged(bottom->allControlsStack()),
              (std::vector<std::shared_ptr<ui::View>>{bottom->progressBarStack(), bottom->buttonsStack()}));
    EXPECT_EQ(arranged(bottom->buttonsStack()),
              (std::vector<std::shared_ptr<ui::View>>{bottom->optionsButton(), bottom->centerButtonsStack(),
                                                      bottom->audioSubtitlesButton()}));
    EXPECT_EQ(arranged(bottom->centerButtonsStack()).size(), 3u);
    EXPECT_EQ(bottom->allControlsStack()->axis(), ui::LayoutAxis::vertical);
    EXPECT_EQ(bottom->topPadding()->constant(), 10);
    EXPECT_EQ(bottom->bottomPadding()->constant(), -10);
    EXPECT_EQ(bottom->progressBarStack()->layoutMargins(), (ui::EdgeInsets{0, 3, 0, 3}));
}

TEST_F(ControlBarsTest, ReadRightToLeftTheTimelineAndItsTimesStillRunLeftToRight) {
    for (const auto& traits : {sizeClasses(kCompact, kRegular), sizeClasses(kRegular, kRegular)}) {
        auto rightToLeft = traits;
        rightToLeft.layoutDirection = ui::TraitEnvironmentLayoutDirection::rightToLeft;
        window->setTraitCollection(rightToLeft);
        bottom->setFrame(ui::Rect(0, 700, 390, 120));
        window->layoutIfNeeded();
        const auto inWindow = [](const std::shared_ptr<ui::View>& view) {
            return view->convert(view->bounds(), nullptr);
        };
        EXPECT_LT(inWindow(bottom->progressLabel()).minX(), inWindow(bottom->durationLabel()).minX())
            << "the elapsed time at the timeline's left";
        EXPECT_FALSE(bottom->progressBar()->isRightToLeft());
        // The buttons around it follow the interface: options at the right, as its leading end.
        EXPECT_GT(inWindow(bottom->optionsButton()).minX(), inWindow(bottom->audioSubtitlesButton()).minX());
    }
}

TEST_F(ControlBarsTest, ATraitChangeThatKeepsBothClassesLeavesTheArrangement) {
    bottom->progressBarStack()->setSpacing(99);  // a marker a rearrangement would reset
    ui::TraitCollection light = sizeClasses(kCompact, kRegular);
    light.userInterfaceStyle = ui::UserInterfaceStyle::light;
    window->setTraitCollection(light);
    EXPECT_EQ(bottom->progressBarStack()->spacing(), 99);
}

TEST_F(ControlBarsTest, WiringTextsAndSymbolsSurviveRearrangement) {
    controls->showPaused();
    Preferences::shared().skipInterval.setWrappedValue("10");
    controls->updateSkipIntervalIcons();
    controls->updateProgressLabels(75, 600);
    for (auto traits :
         {sizeClasses(kCompact, kCompact), sizeClasses(kRegular, kRegular), sizeClasses(kCompact, kRegular)}) {
        window->setTraitCollection(traits);
        EXPECT_EQ(playSymbol(), "play.fill");
        EXPECT_EQ(skipSymbols(), "gobackward.10 goforward.10");
        EXPECT_EQ(bottom->progressLabel()->text(), "1:15");
        EXPECT_EQ(bottom->durationLabel()->text(), "-8:45");
    }
    bottom->skipForwardButton()->tap();
    bottom->optionsButton()->tap();
    EXPECT_EQ(player->calls, (std::vector<std::string>{"skipForward", "showOptionsPopover"}));
}

TEST_F(ControlBarsTest, ABarMovedIntoAWindowOfOtherClassesRearranges) {
    auto other = ui::Window::create(ui::Rect(0, 0, 1024, 768));
    other->setTraitCollection(sizeClasses(kRegular, kRegular));
    auto fresh = BottomControlView::create();
    EXPECT_EQ(fresh->arrangement(), BottomControlView::Arrangement::stacked);
    other->addSubview(fresh);
    EXPECT_EQ(fresh->arrangement(), BottomControlView::Arrangement::wide);
}

TEST_F(ControlBarsTest, TheProgressBarIsAWhiteScrubberOverZeroToHundred) {
    auto bar = bottom->progressBar();
    EXPECT_EQ(bar->maximumValue(), 100);
    EXPECT_EQ(bar->minimumValue(), 0);
    EXPECT_EQ(bar->minimumTrackTintColor(), ui::Color::white());
    EXPECT_EQ(bar->maximumTrackTintColor(), ui::Color::secondarySystemFill());
    EXPECT_EQ(bottom->layer().cornerRadius(), 20);
    EXPECT_EQ(bottom->layer().cornerCurve(), ui::CornerCurve::continuous);
}

}  // namespace
}  // namespace reelhaven

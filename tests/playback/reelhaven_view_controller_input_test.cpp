#include <cmath>
#include <mutex>
#include <string>
#include <vector>

#include "controls/bottom_control_view.h"
#include "controls/note_view.h"
#include "controls/video_control_view.h"
#include "platform/media/audio_session.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/feedback_generator.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/gestures/press.h"
#include "playback/player_screen_fixture.h"

namespace reelhaven::playback_test {
namespace {

// The player screen driven as a user drives it: keys, taps, pans and pinches through the
// window, with every command vector that reaches mpv's handle recorded.
class PlayerInputTest : public PlayerScreenTest {
protected:
    const ui::Point center{320, 180};

    void TearDown() override {
        PlayerScreenTest::TearDown();
        media::AudioSession::shared()->reset();
        ui::Screen::main()->setBrightness(0.5);
    }

    // Opens `name` paused at `seconds`, with the clock resting there, and starts recording.
    void openPausedAt(const std::string& name, double seconds) {
        PlayerScreenTest::openPausedAt(clip(name), seconds);
        if (HasFatalFailure()) return;
        auto session = player->session();
        session->commandQueue()->sync([&] {
            session->onCommand = [this](const std::vector<std::optional<std::string>>& vector) {
                std::string text;
                for (const auto& argument : vector) {
                    if (!argument) break;
                    text += (text.empty() ? "" : " ") + *argument;
                }
                std::lock_guard lock(m_mutex);
                m_commands.push_back(text);
            };
        });
    }
    // What reached the handle since the last call, after everything queued so far.
    std::vector<std::string> commands() {
        flush();
        std::lock_guard lock(m_mutex);
        return std::exchange(m_commands, {});
    }
    std::string seek(double target, const char* flag) { return "seek " + MPVSession::decimal(target) + " " + flag; }
    double timePos() { return std::stod(property("time-pos").value_or("-1")); }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_commands;
};

TEST_F(PlayerInputTest, ArrowsSkipByTheSettingAndShiftStepsOneSecondExactly) {
    openPausedAt("long.mp4", 20);
    for (const auto& [setting, seconds] : std::vector<std::pair<std::string, std::string>>{
             {"5", "5"}, {"10", "10"}, {"15", "15"}, {"30", "30"}, {"7", "10"}, {"", "10"}}) {
        preferences->skipInterval.setWrappedValue(setting);
        press(ui::Key::rightArrow);
        press(ui::Key::leftArrow);
        EXPECT_EQ(commands(),
                  (std::vector<std::string>{"seek " + seconds + " relative", "seek -" + seconds + " relative"}))
            << "setting \"" << setting << "\"";
    }
    press(ui::Key::rightArrow, ui::Key::shift);
    EXPECT_EQ(commands(), std::vector<std::string>{"seek 1 relative+exact"});
    ASSERT_TRUE(waitFor([&] { return !player->playbackInfo()->isSeeking() && timePos() == 21; }))
        << "time-pos " << timePos();
    press(ui::Key::leftArrow, ui::Key::shift | ui::Key::control);
    EXPECT_EQ(commands(), std::vector<std::string>{"seek -1 relative+exact"});
    EXPECT_TRUE(waitFor([&] { return timePos() == 20; })) << "time-pos " << timePos();
}

TEST_F(PlayerInputTest, SpaceAndKeypadZeroTogglePauseAndOtherKeysDoNothing) {
    openPausedAt("long.mp4", 5);
    press(ui::Key::spacebar);
    EXPECT_FALSE(player->playbackInfo()->isPaused());
    EXPECT_EQ(property("pause"), "no");
    press(ui::Key::keypad0, ui::Key::shift);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_EQ(property("pause"), "yes");
    press(ui::Key::upArrow);
    press(ui::Key::escape);
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(player->playbackInfo()->isPaused());
}

TEST_F(PlayerInputTest, ATwoFingerTapTogglesPauseWithALightHapticUnlessSwitchedOff) {
    openPausedAt("long.mp4", 5);
    auto haptics = player->lightHapticFeedbackGenerator();
    window->tap(center, 2);
    EXPECT_FALSE(player->playbackInfo()->isPaused());
    EXPECT_TRUE(player->hideControls());  // a one-finger tap would have shown them
    EXPECT_EQ(haptics->prepareCount(), 1);
    EXPECT_EQ(haptics->playCount(), 1);

    preferences->reduceHaptics.setWrappedValue(true);
    window->tap(center, 2);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_EQ(haptics->playCount(), 1);

    preferences->playPauseTapGestures.setWrappedValue(false);
    window->tap(center, 2);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
}

TEST_F(PlayerInputTest, ATapShowsTheControlsAndASecondFadesThemOut) {
    openLoaded("long.mp4");
    window->tap(center);
    EXPECT_FALSE(player->hideControls());
    window->tap(center);
    EXPECT_TRUE(player->controlsAreAnimating());
    window->tap(center);  // refused while they fade
    mainLoop.advanceSeconds(0.31);
    EXPECT_TRUE(player->hideControls());
    EXPECT_FALSE(player->controlsAreAnimating());
    EXPECT_TRUE(player->controlView()->isHidden());
}

TEST_F(PlayerInputTest, TouchesOnTheBarsGoToTheBarsAndKeepThemUp) {
    openLoaded("long.mp4");
    window->tap(center);  // shown, hiding after 4 s
    auto bar = player->controlView()->bottomControlView();
    auto inWindow = [](const std::shared_ptr<ui::View>& view) {
        auto frame = view->convert(view->bounds(), nullptr);
        return ui::Point{frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2};
    };
    mainLoop.advanceSeconds(3);
    EXPECT_EQ(window->beginPan(inWindow(bar->optionsButton())), nullptr);  // restarts the 4 s
    mainLoop.advanceSeconds(3);
    EXPECT_FALSE(player->hideControls());
    mainLoop.advanceSeconds(1.5);
    EXPECT_TRUE(player->hideControls());

    // On the play button of a playing video the controls stay until something hides them.
    window->tap(center);
    ASSERT_FALSE(player->playbackInfo()->isPaused());
    EXPECT_EQ(window->beginPinch(inWindow(bar->playPauseButton())), nullptr);
    mainLoop.advanceSeconds(10);
    EXPECT_FALSE(player->hideControls());

    // While a seek runs nothing reaches the screen's recognisers.
    player->playbackInfo()->setIsSeeking(true);
    EXPECT_EQ(window->beginPan(center), nullptr);
    player->playbackInfo()->setIsSeeking(false);
    EXPECT_NE(window->beginPan(center), nullptr);
}

TEST_F(PlayerInputTest, AHorizontalPanSeeksFromTheDeadZoneAtAboutAFrameOfChange) {
    openPausedAt("long.mp4", 20);
    auto pan = window->beginPan(center);
    ASSERT_NE(pan, nullptr);
    {
        // mpv gets the seeks only after the checks: the restart of the first would clear the flag.
        QueueHold hold(player->session()->commandQueue());
        pan->move({30, 10});  // undecided
        EXPECT_FALSE(player->playbackInfo()->isPanSeeking());
        pan->move({60, 0}, {500, 0});  // 20 points past the zone: 1.33 s
        EXPECT_TRUE(player->playbackInfo()->isPanSeeking());
        EXPECT_FALSE(player->noteView()->isHidden());  // controls hidden: the note shows the offset
        pan->move({60.5, 0});                          // 0.033 s of change: held back
        pan->move({61, 0});
        pan->move({45, 0});  // back near the start, within half a second: nothing
    }
    EXPECT_EQ(commands(),
              (std::vector<std::string>{seek(20 + 20.0 / 15, "absolute"), seek(20 + 21.0 / 15, "absolute")}));
    pan->end();
    EXPECT_DOUBLE_EQ(player->playbackInfo()->progress(), 20 + 21.0 / 15);
    // Cleared at a restart; the first seek's may come on its own, before the second seek's.
    EXPECT_TRUE(waitFor([&] { return !player->playbackInfo()->isPanSeeking() && std::abs(timePos() - 21.4) < 0.001; }))
        << "time-pos " << timePos();
    mainLoop.advanceSeconds(0.31);
    EXPECT_TRUE(player->noteView()->isHidden());
    EXPECT_EQ(player->noteView()->alpha(), 1.0);
    EXPECT_TRUE(player->playbackInfo()->isPaused());  // paused before the pan, paused after
}

TEST_F(PlayerInputTest, AFastPanOnALongVideoWaitsForEightTenthsAndJumpsForwardByKeyframe) {
    openPausedAt("long.mp4", 20);
    player->playbackInfo()->setDuration(3600);  // the throttle reads the record's duration
    auto pan = window->beginPan(center);
    pan->move({100, 0}, {400, 0});   // 4 s
    pan->move({105, 0}, {400, 0});   // 0.33 s more: held back
    pan->move({115, 0}, {-400, 0});  // 5 s
    pan->move({116, 0}, {100, 0});   // slow: a frame of change is enough
    pan->move({55, 0}, {-400, 0});   // 1 s, backward: exact
    EXPECT_EQ(commands(), (std::vector<std::string>{seek(24, "absolute+keyframes"), seek(25, "absolute+keyframes"),
                                                    seek(20 + 76.0 / 15, "absolute"), seek(21, "absolute")}));
    pan->end();
}

TEST_F(PlayerInputTest, APanThatStaysInTheDeadZoneSendsNothingAndAPlayingVideoResumesAfterASeekPan) {
    openPausedAt("long.mp4", 20);
    auto still = window->beginPan(center);
    still->move({35, -35});
    still->end();
    EXPECT_FALSE(player->playbackInfo()->isPanSeeking());

    player->setPaused(false, true);
    auto pan = window->beginPan(center);
    pan->move({-70, 0});
    EXPECT_TRUE(player->playbackInfo()->isPaused());  // held still while the finger seeks
    pan->cancel();
    EXPECT_FALSE(player->playbackInfo()->isPaused());
    EXPECT_EQ(commands(), (std::vector<std::string>{seek(18, "absolute")}));
}

TEST_F(PlayerInputTest, VerticalPansAtTheEdgesSetVolumeAndBrightnessAndTheMiddleDoesNothing) {
    openPausedAt("long.mp4", 20);
    auto session = media::AudioSession::shared();
    auto volume = window->beginPan({600, 180});  // right fifth
    volume->move({0, -50});                      // decided: volume from 0.5
    EXPECT_FLOAT_EQ(session->outputVolume(), 0.5f);
    volume->move({0, -100});  // 60 points past the zone, of 500 for the range
    EXPECT_FLOAT_EQ(session->outputVolume(), 0.62f);
    volume->move({0, -102});  // under the step: kept
    EXPECT_FLOAT_EQ(session->outputVolume(), 0.62f);
    volume->move({0, 1000});  // zero always applies
    EXPECT_FLOAT_EQ(session->outputVolume(), 0.0f);
    volume->end();

    auto brightness = window->beginPan({50, 180});  // left fifth
    brightness->move({0, -50});
    brightness->move({0, -65});  // 25 points of 250
    EXPECT_DOUBLE_EQ(ui::Screen::main()->brightness(), 0.6);
    brightness->end();

    auto middle = window->beginPan(center);
    middle->move({0, -50});
    middle->move({300, -50});  // turning horizontal later changes nothing
    middle->end();
    EXPECT_DOUBLE_EQ(ui::Screen::main()->brightness(), 0.6);
    EXPECT_FLOAT_EQ(session->outputVolume(), 0.0f);
    EXPECT_TRUE(commands().empty());
}

TEST_F(PlayerInputTest, SettingsSwitchEachPanFamilyOffAtTheNextGesture) {
    openPausedAt("long.mp4", 20);
    preferences->seekGestures.setWrappedValue(false);
    preferences->volumeGestures.setWrappedValue(false);
    preferences->brightnessGestures.setWrappedValue(false);
    for (ui::Point start : {ui::Point{320, 180}, ui::Point{600, 180}, ui::Point{50, 180}}) {
        auto pan = window->beginPan(start);
        pan->move({start.x == 320 ? 200.0 : 0.0, start.x == 320 ? 0.0 : -200.0});
        pan->move({start.x == 320 ? 300.0 : 0.0, start.x == 320 ? 0.0 : -300.0});
        pan->end();
    }
    EXPECT_TRUE(commands().empty());
    EXPECT_FALSE(player->playbackInfo()->isPanSeeking());
    EXPECT_FLOAT_EQ(media::AudioSession::shared()->outputVolume(), 0.5f);
    EXPECT_DOUBLE_EQ(ui::Screen::main()->brightness(), 0.5);

    preferences->seekGestures.setWrappedValue(true);
    auto pan = window->beginPan(center);
    pan->move({70, 0});
    pan->end();
    EXPECT_EQ(commands(), (std::vector<std::string>{seek(22, "absolute")}));
}

TEST_F(PlayerInputTest, APinchChangesTheModeOncePerPinchOnTheLadderTheScreenCalls) {
    openLoaded("long.mp4");
    auto pinchTo = [&](std::vector<double> scales, bool cancel = false) {
        auto pinch = window->beginPinch(center);
        ASSERT_NE(pinch, nullptr);
        for (double scale : scales) pinch->change(scale);
        cancel ? pinch->cancel() : pinch->end();
    };
    pinchTo({1.5});
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFit);
    pinchTo({1.5, 1.7, 0.3});  // one change per pinch
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFill);
    EXPECT_EQ(player->playbackInfo()->contentMode(), ContentMode::aspectFill);
    pinchTo({0.5});
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFit);

    // A cancelled pinch re-arms too, so the next pinch is not lost.
    pinchTo({1.61}, true);
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFill);
    pinchTo({0.59});
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFit);

    // A video wider than the screen, on a screen with side insets: three steps.
    player->playbackInfo()->setAspectRatio(2.39);
    player->view()->setSafeAreaInsets(ui::EdgeInsets{0, 47, 21, 47});
    pinchTo({1.61});
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFitUnsafe);
    pinchTo({1.61});
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFill);
    pinchTo({0.59});
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFitUnsafe);

    // The aspect button goes round the same three steps, the screen's mode kept in the info.
    player->toggleAspectRatio();
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFill);
    player->toggleAspectRatio();
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFit);
    player->toggleAspectRatio();
    EXPECT_EQ(player->contentMode(), ContentMode::aspectFitUnsafe);
    EXPECT_EQ(player->playbackInfo()->contentMode(), ContentMode::aspectFitUnsafe);
}

}  // namespace
}  // namespace reelhaven::playback_test

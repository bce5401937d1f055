#include <mpv/client.h>

#include "controls/bottom_control_view.h"
#include "controls/title_view.h"
#include "controls/video_control_view.h"
#include "core/documents_client.h"
#include "core/video_manager.h"
#include "output/mpv_glk_view.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/timer.h"
#include "platform/media/audio_session.h"
#include "platform/media/now_playing_info_center.h"
#include "platform/media/picture_in_picture_controller.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/platform_version.h"
#include "playback/player_screen_fixture.h"

namespace reelhaven::playback_test {
namespace {

TEST(PlayerStoryboard, ThePlainInitialiserOfThePlayerSceneIsFatal) {
    dispatch::ScopedMainRunLoop loop;
    registerReelhavenStoryboard();
    base::ScopedFatalThrows fatalThrows;
    auto storyboard = ui::Storyboard::named(ReelhavenViewController::kStoryboardName);
    EXPECT_THROW(storyboard->instantiateViewController(ReelhavenViewController::kStoryboardIdentifier),
                 base::FatalError);
}

TEST_F(PlayerScreenTest, LoadingStartsThePlaybackTheTimersAndHidesTheControls) {
    openLoaded("long.mp4");
    EXPECT_EQ(player->storyboard()->name(), "Reelhaven");
    EXPECT_TRUE(player->controlView()->isHidden());
    EXPECT_TRUE(player->hideControls());
    ASSERT_TRUE(player->syncPlayTimeTimer() && player->saveProgressTimer() && player->commitProgressTimer());
    EXPECT_EQ(player->syncPlayTimeTimer()->interval(), dispatch::seconds(0.2));
    EXPECT_EQ(player->saveProgressTimer()->interval(), dispatch::seconds(5.0));
    EXPECT_EQ(player->commitProgressTimer()->interval(), dispatch::seconds(30.0));
    EXPECT_TRUE(ui::Application::shared().isIdleTimerDisabled());
    EXPECT_EQ(scene->title(), "long");
    EXPECT_EQ(player->titleView()->titleLabel()->text(), "long");
    mainLoop.runUntilIdle();
    EXPECT_EQ(player->presentedViewController(), nullptr) << "a video has its picture";
    EXPECT_NEAR(player->glkView()->bounds().size.width, 640, 1e-4);
    EXPECT_NEAR(player->glkView()->bounds().size.height, 360, 1e-4);
}

TEST_F(PlayerScreenTest, AFileWithoutPictureSaysSoAndShowsItsEmptyPicture) {
    open(info(clip("audio.m4a")), false);
    player->glkView()->setKeepsLastFrame(true);
    ASSERT_TRUE(waitForLoad());
    ASSERT_TRUE(waitFor([&] { return player->presentedViewController() != nullptr; }));
    auto alert = std::dynamic_pointer_cast<ui::AlertController>(player->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->alertTitle(), "No Picture");
    EXPECT_EQ(alert->message(), "This file has sound but no video.");
    EXPECT_TRUE(waitFor([&] { return player->glkView()->framesDisplayed() > 0; })) << "a picture, if black";
    settle();
    EXPECT_TRUE(alert->tapAction("OK"));
    EXPECT_TRUE(waitFor([&] {
        settle();
        return player->presentedViewController() == nullptr;
    }));
    EXPECT_EQ(root->presentedViewController(), player) << "the sound plays on";
}

TEST_F(PlayerScreenTest, ARestoredPlayerComesBackPausedWithItsControlsAsTheyWere) {
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "controls hidden" : "controls shown");
        open(PlaybackInfo::create(progressClient, nullptr, clip("long.mp4"), true, hidden, std::nullopt));
        ASSERT_TRUE(waitForLoad());
        mainLoop.runUntilIdle();
        EXPECT_TRUE(player->playbackInfo()->isPaused());
        EXPECT_EQ(player->hideControls(), hidden);
        EXPECT_EQ(player->controlView()->isHidden(), hidden);
        player->close(false);
        flush();
        mainLoop.runUntilIdle();
        settle();
        player->waitForProgressSaves();
        player.reset();
    }
}

TEST_F(PlayerScreenTest, TheInterfaceTimerFollowsMpvsPositionIntoTheLabelsAndTheRecord) {
    openLoaded("long.mp4");
    ASSERT_TRUE(waitFor([&] { return property("time-pos").value_or("0") != "0.000000"; }));
    mainLoop.advanceSeconds(0.2);
    const double progress = player->playbackInfo()->progress();
    EXPECT_GT(progress, 0);
    auto bar = player->controlView()->bottomControlView();
    EXPECT_EQ(bar->progressLabel()->text(), "0:00");
    EXPECT_NEAR(bar->progressBar()->value(), progress / 65 * 100, 0.5);
}

TEST_F(PlayerScreenTest, APositionOfTheReplacedFileIsNeverStoredInTheNewRecord) {
    // The first record already played to 40 s; the switch hands a fresh record to the session
    // while mpv still plays the first file.
    openLoaded("long.mp4");
    auto first = player->playbackInfo();
    player->seekTo(40);
    ASSERT_TRUE(waitFor([&] { return std::stod(property("time-pos").value_or("0")) >= 39; }));
    auto next = clip("wide.mp4");
    saveProgressFor(*next, 2.5);
    player->switchToVideo(next);
    auto second = player->playbackInfo();
    ASSERT_NE(first, second);
    EXPECT_DOUBLE_EQ(second->progress(), 2.5);
    {
        // The new file's load is sent; its FILE_LOADED waits behind the hold.
        QueueHold hold(player->session()->commandQueue());
        player->syncUITime();
        EXPECT_DOUBLE_EQ(second->progress(), 2.5);
    }
    ASSERT_TRUE(waitForLoad());
    ASSERT_TRUE(waitFor([&] {
        player->syncUITime();
        return second->progress() != 2.5;
    }));
    EXPECT_LT(second->progress(), 5);
}

TEST_F(PlayerScreenTest, AnEarlyCloseKeepsTheSavedProgress) {
    auto video = clip("long.mp4");
    saveProgressFor(*video, 30);
    open(info(video), false);
    {
        QueueHold hold(player->session()->commandQueue());
        EXPECT_DOUBLE_EQ(player->playbackInfo()->progress(), 30);
        player->syncUITime();  // the file is not loaded yet
        EXPECT_DOUBLE_EQ(player->playbackInfo()->progress(), 30);
        player->close(false);
    }
    flush();
    ASSERT_TRUE(waitForDismissal());
    player->waitForProgressSaves();  // the record and the file are written by the time it returns
    auto saved = savedProgress(*video);
    ASSERT_TRUE(saved);
    EXPECT_FALSE(saved->isFinished);
    EXPECT_DOUBLE_EQ(saved->progress.seconds, 30);
    auto written = ProgressClient::create()->progress(*video);  // read back from the file
    ASSERT_TRUE(written);
    EXPECT_DOUBLE_EQ(written->progress.seconds, 30);
}

TEST_F(PlayerScreenTest, MpvShuttingDownByItselfStopsTheThreeTimers) {
    openLoaded("long.mp4");
    const auto timers = {player->syncPlayTimeTimer(), player->saveProgressTimer(), player->commitProgressTimer()};
    for (const auto& timer : timers) ASSERT_TRUE(timer && timer->isValid());
    // On the command queue, so the handle cannot go while the command is under way.
    player->session()->commandQueue()->sync([&] {
        const char* quit[] = {"quit", nullptr};
        mpv_command(player->mpv(), quit);
    });
    ASSERT_TRUE(waitFor([&] { return player->mpv() == nullptr; }));
    flush();  // the handler has posted its word to the main queue
    mainLoop.runUntilIdle();
    for (const auto& timer : timers) EXPECT_FALSE(timer->isValid());
}

TEST_F(PlayerScreenTest, ThePlayerOfADisconnectedSceneGoesWithoutAnimation) {
    openLoaded("long.mp4");
    settle();
    scene->disconnect();
    player->close(false);
    mainLoop.runUntilIdle();  // the clock stands still: no animation can end
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(PlayerScreenTest, ReturningFromTheBackgroundRestartsEachTimerOnce) {
    openLoaded("long.mp4");
    auto sync = player->syncPlayTimeTimer();
    auto save = player->saveProgressTimer();
    player->startTimers();
    EXPECT_EQ(player->syncPlayTimeTimer(), sync) << "a valid timer is left alone";
    player->enterBackground();
    EXPECT_FALSE(sync->isValid());
    EXPECT_FALSE(save->isValid());
    player->enterForeground();
    player->enterForeground();
    ASSERT_TRUE(player->syncPlayTimeTimer()->isValid());
    EXPECT_NE(player->syncPlayTimeTimer(), sync);
    auto restarted = player->syncPlayTimeTimer();
    player->enterForeground();
    EXPECT_EQ(player->syncPlayTimeTimer(), restarted);
}

TEST_F(PlayerScreenTest, TheFiveSecondTimerSavesAndTheThirtySecondTimerWritesTheFile) {
    auto video = clip("long.mp4", false);
    open(info(video));
    ASSERT_TRUE(waitForLoad());
    player->playbackInfo()->setProgress(12);
    mainLoop.advanceSeconds(5);
    ASSERT_TRUE(waitFor([&] { return savedProgress(*video).has_value(); }));
    const std::filesystem::path file =
        foundation::Container::current()->applicationSupportURL().path() + "/progressData";
    EXPECT_FALSE(std::filesystem::exists(file));
    mainLoop.advanceSeconds(25);
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(file); }));
}

TEST_F(PlayerScreenTest, BackgroundPausesAndSleepsAndTheForegroundResumes) {
    preferences->continueAudioBackground.setWrappedValue(false);
    auto video = clip("long.mp4", false);
    open(info(video));
    ASSERT_TRUE(waitForLoad());
    scene->setActivationState(ui::SceneActivationState::background);
    player->enterBackground();
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_TRUE(player->pausedFromBackground());
    EXPECT_EQ(dispatch::recordedSleeps(), std::vector<dispatch::Duration>{dispatch::seconds(0.5)});
    ASSERT_TRUE(savedProgress(*video)) << "saved on the main thread before the scene writes the file";
    EXPECT_DOUBLE_EQ(savedProgress(*video)->progress.seconds, player->playbackInfo()->progress());
    EXPECT_EQ(property("pause"), "yes");
    EXPECT_EQ(property("vid"), "no");

    scene->setActivationState(ui::SceneActivationState::foregroundActive);
    dispatch::clearRecordedSleeps();
    player->enterForeground();
    EXPECT_FALSE(player->playbackInfo()->isPaused());
    EXPECT_FALSE(player->pausedFromBackground());
    EXPECT_TRUE(dispatch::recordedSleeps().empty()) << "no sleep while playing";
    EXPECT_EQ(property("pause"), "no");
    EXPECT_EQ(property("vid"), "1");
}

TEST_F(PlayerScreenTest, AVideoPausedByTheUserStaysPausedAndTheForegroundSleeps) {
    preferences->continueAudioBackground.setWrappedValue(false);
    openLoaded("long.mp4");
    player->setPaused(true, true);
    player->enterBackground();
    EXPECT_FALSE(player->pausedFromBackground());
    EXPECT_EQ(property("aid"), "no") << "paused with no picture in picture: audio off too";
    dispatch::clearRecordedSleeps();
    player->enterForeground();
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_EQ(dispatch::recordedSleeps(), std::vector<dispatch::Duration>{dispatch::seconds(0.3)});
    EXPECT_EQ(property("aid"), "1");
}

TEST_F(PlayerScreenTest, AnInterruptionPausesAndResumesOnlyWhenAskedTo) {
    openLoaded("long.mp4");
    auto session = media::AudioSession::shared();
    session->interrupt(media::InterruptionType::began);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_TRUE(player->pausedFromAudioInterruption());
    session->interrupt(media::InterruptionType::ended);
    EXPECT_TRUE(player->playbackInfo()->isPaused()) << "no should-resume option";
    session->interrupt(media::InterruptionType::ended, 0);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    session->interrupt(media::InterruptionType::ended, media::kInterruptionOptionShouldResume);
    EXPECT_FALSE(player->playbackInfo()->isPaused());
    EXPECT_FALSE(player->pausedFromAudioInterruption());
    EXPECT_EQ(property("pause"), "no");

    // Paused by the user: the interruption's end does not resume it.
    player->setPaused(true, true);
    session->interrupt(media::InterruptionType::began);
    EXPECT_FALSE(player->pausedFromAudioInterruption());
    session->interrupt(media::InterruptionType::ended, media::kInterruptionOptionShouldResume);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
}

TEST_F(PlayerScreenTest, TheEndOfTheLastVideoClosesThePlayerAndMarksItFinished) {
    preferences->continuousPlayback.setWrappedValue(true);
    auto video = clip("wide.mp4", false);
    open(info(video));  // no folder: there is no next video
    ASSERT_TRUE(waitForLoad());
    player->seekTo(3.8);
    ASSERT_TRUE(waitForDismissal());
    flush();
    EXPECT_EQ(player->mpv(), nullptr);
    ASSERT_TRUE(waitFor([&] { return savedProgress(*video) && savedProgress(*video)->isFinished == true; }));
    EXPECT_DOUBLE_EQ(savedProgress(*video)->progress.seconds, 0);
    EXPECT_FALSE(player->saveProgressTimer()->isValid());
}

TEST_F(PlayerScreenTest, TheMediaCenterFollowsThePlayerUntilItCloses) {
    openLoaded("long.mp4");
    EXPECT_EQ(mediaCenter->state(), MediaCenterState::active);
    EXPECT_EQ(mediaCenter->delegate(), player);
    auto shown = [] {
        return media::NowPlayingInfoCenter::defaultCenter().nowPlayingInfo().value_or(media::NowPlayingInfo{});
    };
    EXPECT_EQ(shown()[media::kMediaItemPropertyTitle], media::NowPlayingValue(std::string("long")));

    EXPECT_EQ(media::RemoteCommandCenter::shared().pauseCommand.send(), media::RemoteCommandHandlerStatus::success);
    EXPECT_TRUE(player->playbackInfo()->isPaused());
    EXPECT_TRUE(mediaCenter->mediaCenterPaused());
    EXPECT_EQ(shown()[media::kNowPlayingInfoPropertyPlaybackRate], media::NowPlayingValue(std::int64_t{0}));
    EXPECT_EQ(property("pause"), "yes");
    player->setPaused(false, true);
    player->setPaused(true, true);
    EXPECT_FALSE(mediaCenter->mediaCenterPaused()) << "the player's own pause clears the remote one";

    player->close(false);
    ASSERT_TRUE(waitForDismissal());
    EXPECT_EQ(mediaCenter->state(), MediaCenterState::inactive);
    EXPECT_EQ(mediaCenter->delegate(), nullptr);
    EXPECT_EQ(shown()[media::kMediaItemPropertyTitle], media::NowPlayingValue(std::string("Reelhaven")));

    // mpv's last playback restart, reaching the main queue after the close, changes nothing.
    ASSERT_TRUE(player->session()->onPlaybackRestart);
    player->session()->onPlaybackRestart();
    EXPECT_EQ(shown()[media::kMediaItemPropertyTitle], media::NowPlayingValue(std::string("Reelhaven")));
}

TEST_F(PlayerScreenTest, PictureInPictureEndingInTheBackgroundRunsTheBackgroundProcedure) {
    openLoaded("long.mp4");
    auto pip = player->pictureInPictureController();
    ASSERT_TRUE(pip) << "background audio is on by default";
    pip->startPictureInPicture();
    ASSERT_TRUE(pip->isPictureInPictureActive().value());
    scene->setActivationState(ui::SceneActivationState::background);
    player->enterBackground();
    EXPECT_EQ(property("vid"), "1") << "picture in picture keeps decoding the video";
    player->setPaused(true, true);
    player->setPaused(false, true);
    EXPECT_EQ(property("vid"), "1") << "resuming during picture in picture keeps the video on";
    player->enterForeground();
    scene->setActivationState(ui::SceneActivationState::background);
    ASSERT_TRUE(player->syncPlayTimeTimer()->isValid());
    pip->stopPictureInPicture();
    EXPECT_FALSE(player->syncPlayTimeTimer()->isValid()) << "the timers stop as when entering the background";
}

TEST_F(PlayerScreenTest, ThePictureInPictureWindowIsToldAtLoadAndAtRestartsWhileItShows) {
    openLoaded("long.mp4");
    auto pip = player->pictureInPictureController();
    ASSERT_TRUE(pip);
    EXPECT_TRUE(waitFor([&] { return pip->invalidationCount() == 1; })) << "the file loaded";
    // The label is set by the same restart handler that would tell the window, so once it shows
    // the new time that restart has been handled.
    auto label = player->controlView()->bottomControlView()->progressLabel();
    player->seekTo(30);
    ASSERT_TRUE(waitFor([&] { return label->text() == "0:30"; })) << label->text().value_or("(none)");
    mainLoop.runUntilIdle();
    EXPECT_EQ(pip->invalidationCount(), 1u) << "restarts before picture in picture tell nothing";
    pip->startPictureInPicture();
    const auto started = pip->invalidationCount();
    player->seekTo(40);
    EXPECT_TRUE(waitFor([&] { return pip->invalidationCount() > started; })) << "the seek's restart";
}

TEST_F(PlayerScreenTest, ARestartShowsTheNewPositionWithoutWaitingForTheTimer) {
    openLoaded("long.mp4");
    auto label = player->controlView()->bottomControlView()->progressLabel();
    player->seekTo(30);
    // The manual clock stands still: the 0.2-second timer does not fire.
    EXPECT_TRUE(waitFor([&] { return label->text() == "0:30"; })) << label->text().value_or("(none)");
}

// Before 16 the player turns the device to landscape itself, from the orientation of the
// application's first window, and back when it closes.
class PlayerLandscapeTest : public PlayerScreenTest {
protected:
    ui::ScopedPlatformVersion version{{15, 0, 0}};
    std::shared_ptr<ui::WindowScene> firstScene;
    std::shared_ptr<ui::Window> firstWindow;

    void SetUp() override {
        PlayerScreenTest::SetUp();
        preferences->preferLandscape.setWrappedValue(true);
        // The application's first window is not the key one (the fixture's).
        firstScene = ui::Application::shared().connectScene(ui::SceneSessionRole::windowApplication);
        firstWindow = ui::Window::create(firstScene);
        ui::Device::current().setOrientation(ui::DeviceOrientation::portrait);
    }
    void TearDown() override {
        PlayerScreenTest::TearDown();
        ui::Application::shared().reset();
        ui::Device::current().setOrientation(ui::DeviceOrientation::portrait);
    }
};

TEST_F(PlayerLandscapeTest, TheFirstWindowsOrientationDecidesTheLandscapeSide) {
    firstScene->setInterfaceOrientation(ui::InterfaceOrientation::landscapeLeft);
    open(info(clip("long.mp4")));
    EXPECT_EQ(ui::Device::current().orientation(), ui::DeviceOrientation::landscapeRight);
}

TEST_F(PlayerLandscapeTest, ClosingTurnsTheDeviceBackUpsideDown) {
    firstScene->setInterfaceOrientation(ui::InterfaceOrientation::portraitUpsideDown);
    open(info(clip("long.mp4")));
    EXPECT_EQ(ui::Device::current().orientation(), ui::DeviceOrientation::landscapeLeft);
    player->close(false);
    ASSERT_TRUE(waitForDismissal());
    EXPECT_EQ(ui::Device::current().orientation(), ui::DeviceOrientation::portraitUpsideDown);
}

class PlayerScreenFolderTest : public PlayerScreenTest {
protected:
    std::shared_ptr<VideoManager> manager = VideoManager::create(DocumentsClient::create(), progressClient);
    std::vector<VideoPtr> videos;

    void SetUp() override {
        PlayerScreenTest::SetUp();
        videos = {clip("long.mp4", false), clip("wide.mp4", false)};
        manager->update({videos[0], videos[1]});
    }
    void TearDown() override {
        PlayerScreenTest::TearDown();
        manager->waitForMetadataJobs();
    }
    PlaybackInfoPtr inFolder(const VideoPtr& video) {
        return PlaybackInfo::create(progressClient, manager, video, false, true, std::nullopt);
    }
};

TEST_F(PlayerScreenFolderTest, WithContinuousPlaybackTheNextVideoOfTheFolderPlaysWithItsTitle) {
    preferences->continuousPlayback.setWrappedValue(true);
    open(inFolder(videos[0]));
    ASSERT_TRUE(waitForLoad());
    auto first = player->playbackInfo();
    player->seekTo(63);
    ASSERT_TRUE(waitFor([&] { return player->playbackInfo() != first; }));
    EXPECT_EQ(player->playbackInfo()->name(), "wide");
    EXPECT_EQ(root->presentedViewController(), player);
    EXPECT_FALSE(player->titleView()->isHidden());
    EXPECT_EQ(player->titleView()->titleLabel()->text(), "wide");
    EXPECT_EQ(scene->title(), "wide");
    ASSERT_TRUE(savedProgress(*videos[0]));
    EXPECT_EQ(savedProgress(*videos[0])->isFinished, true);
    EXPECT_TRUE(waitFor([&] { return player->videoRenderer()->playbackInfo() == player->playbackInfo(); }));
}

TEST_F(PlayerScreenFolderTest, WithoutContinuousPlaybackTheEndClosesThePlayer) {
    preferences->continuousPlayback.setWrappedValue(false);
    open(inFolder(videos[0]));
    ASSERT_TRUE(waitForLoad());
    player->seekTo(63);
    ASSERT_TRUE(waitForDismissal());
    ASSERT_TRUE(waitFor([&] { return savedProgress(*videos[0]) && savedProgress(*videos[0])->isFinished == true; }));
    EXPECT_FALSE(savedProgress(*videos[1]).has_value());
}

TEST_F(PlayerScreenFolderTest, SwitchingSavesTheOldVideoAndPlaysTheChosenOne) {
    open(inFolder(videos[1]));
    ASSERT_TRUE(waitForLoad());
    player->setPaused(true, true);
    player->playbackInfo()->setProgress(1.5);
    player->switchToVideo(videos[0]);
    EXPECT_TRUE(player->changedVideo());
    EXPECT_FALSE(player->playbackInfo()->isPaused());
    ASSERT_TRUE(waitFor([&] { return savedProgress(*videos[1]).has_value(); }));
    EXPECT_DOUBLE_EQ(savedProgress(*videos[1])->progress.seconds, 1.5);
    ASSERT_TRUE(waitForLoad());
    EXPECT_FALSE(player->changedVideo()) << "cleared when the chosen file starts";
    EXPECT_EQ(root->presentedViewController(), player) << "the replaced file's end closes nothing";
    EXPECT_EQ(player->controlView()->delegate(), player);
    EXPECT_EQ(player->titleView()->titleLabel()->text(), "long");
}

}  // namespace
}  // namespace reelhaven::playback_test

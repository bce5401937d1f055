#include "playback/media_center_service.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/progress_client.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/media/audio_session.h"
#include "platform/media/now_playing_info_center.h"
#include "platform/media/remote_command_center.h"
#include "playback/model/playback_info.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using media::AudioSession;
using media::NowPlayingValue;
using media::RemoteCommandEvent;
using media::RemoteCommandHandlerStatus;
using media::RouteChangeReason;

// A player as the media centre sees it: it records the calls and pauses its record the way the
// player does, clearing the service's remote-pause mark whenever it pauses.
class RecordingPlayer : public VideoControlDelegate {
public:
    RecordingPlayer(PlaybackInfoPtr info, std::weak_ptr<MediaCenterService> service)
        : m_info(std::move(info)), m_service(std::move(service)) {}

    std::vector<std::string> calls;

    void setPaused(bool paused, bool updateUI) override {
        calls.push_back(std::string(paused ? "pause" : "resume") + (updateUI ? " ui" : ""));
        m_info->setIsPaused(paused);
        if (auto service = m_service.lock(); service && paused) service->setMediaCenterPaused(false);
    }
    void seekBy(double seconds) override { calls.push_back("seekBy " + std::to_string(seconds)); }
    void seekTo(double seconds) override { calls.push_back("seekTo " + std::to_string(seconds)); }
    void skipForward() override { calls.push_back("skipForward"); }
    void skipBackward() override { calls.push_back("skipBackward"); }
    void selectChapter(int) override {}
    void close(bool) override {}
    void updateProgressLabelWidths() override {}
    void toggleAspectRatio() override {}
    void showAudioSubtitlePopover() override {}
    void showOptionsPopover() override {}
    void showVideoMenuPopover() override {}
    PlaybackInfoPtr playbackInfo() const override { return m_info; }

private:
    PlaybackInfoPtr m_info;
    std::weak_ptr<MediaCenterService> m_service;
};

class MediaCenterServiceTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop mainLoop;
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::shared_ptr<MediaCenterService> service = MediaCenterService::create();
    PlaybackInfoPtr info = makeInfo("Holiday.mp4");
    std::shared_ptr<RecordingPlayer> player = std::make_shared<RecordingPlayer>(info, service);
    media::RemoteCommandCenter& commands = media::RemoteCommandCenter::shared();

    void SetUp() override { resetSystem(); }
    void TearDown() override {
        service.reset();
        resetSystem();
    }
    static void resetSystem() {
        media::RemoteCommandCenter::shared().reset();
        media::NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(std::nullopt);
        AudioSession::shared()->reset();
    }

    PlaybackInfoPtr makeInfo(const std::string& name) {
        auto path = dir / name;
        testing_support::writeFile(path, "x");
        auto video = Video::create(foundation::URL::fileURLWithPath(path.string()), LibraryItemType::file, false);
        return PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);
    }
    void openPlayer() {
        service->setDelegate(player);
        service->activate();
    }
    media::NowPlayingInfo nowPlaying() {
        auto shown = media::NowPlayingInfoCenter::defaultCenter().nowPlayingInfo();
        EXPECT_TRUE(shown.has_value());
        return shown.value_or(media::NowPlayingInfo{});
    }
    // The system takes the current output away.
    void lose(media::RouteDescription route, RouteChangeReason reason = RouteChangeReason::oldDeviceUnavailable) {
        AudioSession::shared()->changeRoute(std::move(route), RouteChangeReason::newDeviceAvailable);
        AudioSession::shared()->changeRoute(AudioSession::speakerRoute(), reason);
        mainLoop.runUntilIdle();
    }
};

TEST_F(MediaCenterServiceTest, NowPlayingKeepsDoublesAndIntegersApart) {
    info->setDuration(125.5);
    info->setProgress(42.25);
    info->setIsPaused(false);
    service->updateNowPlayingInfo(*info);
    EXPECT_EQ(nowPlaying(), (media::NowPlayingInfo{
                                {media::kMediaItemPropertyTitle, std::string("Holiday")},
                                {media::kMediaItemPropertyPlaybackDuration, 125.5},
                                {media::kNowPlayingInfoPropertyElapsedPlaybackTime, 42.25},
                                {media::kNowPlayingInfoPropertyPlaybackRate, 1.0},
                            }));

    // Unknown duration and a paused video: the integer 0, not 0.0.
    info->setDuration(std::nullopt);
    info->setIsPaused(true);
    service->updateNowPlayingInfo(*info);
    auto shown = nowPlaying();
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[media::kMediaItemPropertyPlaybackDuration], NowPlayingValue(std::int64_t{0}));
    EXPECT_EQ(shown[media::kNowPlayingInfoPropertyPlaybackRate], NowPlayingValue(std::int64_t{0}));
    EXPECT_EQ(shown[media::kNowPlayingInfoPropertyElapsedPlaybackTime], NowPlayingValue(42.25));
}

TEST_F(MediaCenterServiceTest, ActivatingWiresTheCommandsOnceAndDeactivatingUnwiresThem) {
    openPlayer();
    service->activate();
    EXPECT_EQ(service->state(), MediaCenterState::active);
    for (auto* command :
         {&commands.playCommand, &commands.pauseCommand, &commands.togglePlayPauseCommand, &commands.skipForwardCommand,
          &commands.skipBackwardCommand, &commands.changePlaybackPositionCommand}) {
        EXPECT_EQ(command->targetCount(), 1u);
    }
    EXPECT_FALSE(commands.nextTrackCommand.isEnabled());
    EXPECT_FALSE(commands.previousTrackCommand.isEnabled());
    EXPECT_TRUE(commands.skipForwardCommand.isEnabled());
    EXPECT_EQ(commands.skipForwardCommand.preferredIntervals(), std::vector<double>{10});
    EXPECT_EQ(commands.skipBackwardCommand.preferredIntervals(), std::vector<double>{10});

    service->deactivate();
    service->deactivate();
    EXPECT_EQ(service->state(), MediaCenterState::inactive);
    for (auto* command :
         {&commands.playCommand, &commands.pauseCommand, &commands.togglePlayPauseCommand, &commands.skipForwardCommand,
          &commands.skipBackwardCommand, &commands.changePlaybackPositionCommand}) {
        EXPECT_EQ(command->targetCount(), 0u);
    }
    EXPECT_FALSE(commands.playCommand.isEnabled());
    EXPECT_FALSE(commands.skipBackwardCommand.isEnabled());
    EXPECT_TRUE(service->commandTargets().play.has_value());  // tokens stay after removal
    EXPECT_EQ(nowPlaying(), (media::NowPlayingInfo{
                                {media::kMediaItemPropertyTitle, std::string("Reelhaven")},
                                {media::kMediaItemPropertyPlaybackDuration, std::int64_t{0}},
                                {media::kNowPlayingInfoPropertyElapsedPlaybackTime, std::int64_t{0}},
                                {media::kNowPlayingInfoPropertyPlaybackRate, std::int64_t{0}},
                            }));
}

TEST_F(MediaCenterServiceTest, DeactivatingLeavesOtherTargetsOfTheCommandsAlone) {
    auto other =
        commands.playCommand.addTarget([](const RemoteCommandEvent&) { return RemoteCommandHandlerStatus::success; });
    openPlayer();
    service->deactivate();
    EXPECT_EQ(commands.playCommand.targetCount(), 1u);
    commands.playCommand.removeTarget(other);
}

TEST_F(MediaCenterServiceTest, RemoteCommandsDriveThePlayer) {
    openPlayer();
    info->setIsPaused(true);
    EXPECT_EQ(commands.playCommand.send(), RemoteCommandHandlerStatus::success);
    EXPECT_EQ(commands.togglePlayPauseCommand.send(), RemoteCommandHandlerStatus::success);
    EXPECT_EQ(commands.togglePlayPauseCommand.send(), RemoteCommandHandlerStatus::success);
    // The event's interval is not read: the player skips by its own setting.
    EXPECT_EQ(commands.skipForwardCommand.send({RemoteCommandEvent::Kind::skipInterval, 30}),
              RemoteCommandHandlerStatus::success);
    EXPECT_EQ(commands.skipBackwardCommand.send({RemoteCommandEvent::Kind::skipInterval, 30}),
              RemoteCommandHandlerStatus::success);
    EXPECT_EQ(commands.changePlaybackPositionCommand.send({RemoteCommandEvent::Kind::changePlaybackPosition, 0, 61.5}),
              RemoteCommandHandlerStatus::success);
    EXPECT_EQ(commands.changePlaybackPositionCommand.send({RemoteCommandEvent::Kind::plain}),
              RemoteCommandHandlerStatus::commandFailed);
    EXPECT_EQ(player->calls, (std::vector<std::string>{"resume ui", "pause ui", "resume ui", "skipForward",
                                                       "skipBackward", "seekTo 61.500000"}));
}

TEST_F(MediaCenterServiceTest, CommandsFailWithoutAPlayerOrAfterTheServiceIsGone) {
    service->activate();
    EXPECT_EQ(commands.playCommand.send(), RemoteCommandHandlerStatus::commandFailed);

    service->setDelegate(player);
    player.reset();  // the player closed without clearing the delegate
    EXPECT_EQ(commands.pauseCommand.send(), RemoteCommandHandlerStatus::commandFailed);

    auto stillThere = std::make_shared<RecordingPlayer>(info, service);
    service->setDelegate(stillThere);
    service.reset();
    EXPECT_EQ(commands.skipForwardCommand.send(), RemoteCommandHandlerStatus::commandFailed);
    EXPECT_TRUE(stillThere->calls.empty());
}

TEST_F(MediaCenterServiceTest, HeadphonePausesAlternateButTheSpeakerAlwaysPauses) {
    openPlayer();
    AudioSession::shared()->changeRoute(AudioSession::headphonesRoute(), RouteChangeReason::newDeviceAvailable);
    commands.pauseCommand.send();
    EXPECT_TRUE(service->mediaCenterPaused());
    commands.pauseCommand.send();
    EXPECT_FALSE(service->mediaCenterPaused());
    commands.pauseCommand.send();
    EXPECT_EQ(player->calls, (std::vector<std::string>{"pause ui", "resume ui", "pause ui"}));

    player->calls.clear();
    AudioSession::shared()->changeRoute(AudioSession::speakerRoute(), RouteChangeReason::override);
    commands.pauseCommand.send();
    commands.pauseCommand.send();
    EXPECT_EQ(player->calls, (std::vector<std::string>{"pause ui", "pause ui"}));
    EXPECT_TRUE(service->mediaCenterPaused());
}

TEST_F(MediaCenterServiceTest, APauseFromThePlayerMakesTheNextHeadphonePausePause) {
    openPlayer();
    AudioSession::shared()->changeRoute(AudioSession::headphonesRoute(), RouteChangeReason::newDeviceAvailable);
    commands.pauseCommand.send();
    commands.playCommand.send();
    EXPECT_FALSE(service->mediaCenterPaused());  // play clears the mark too
    commands.pauseCommand.send();
    player->setPaused(true, true);  // the player's own button
    commands.pauseCommand.send();   // pauses again rather than toggling to resume
    EXPECT_EQ(player->calls, (std::vector<std::string>{"pause ui", "resume ui", "pause ui", "pause ui", "pause ui"}));
}

TEST_F(MediaCenterServiceTest, LosingHeadphonesOrBluetoothPausesOnTheMainQueue) {
    openPlayer();
    lose(AudioSession::headphonesRoute());
    lose(AudioSession::bluetoothA2DPRoute());
    EXPECT_EQ(player->calls, (std::vector<std::string>{"pause ui", "pause ui"}));

    player->calls.clear();
    lose(AudioSession::headphonesRoute(), RouteChangeReason::categoryChange);
    lose({{{media::PortType::hdmi, "TV"}}});
    AudioSession::shared()->changeRoute(AudioSession::headphonesRoute(), RouteChangeReason::newDeviceAvailable);
    mainLoop.runUntilIdle();
    EXPECT_TRUE(player->calls.empty());
}

TEST_F(MediaCenterServiceTest, ARouteChangeFromAnotherThreadPausesOnTheMainThread) {
    openPlayer();
    AudioSession::shared()->changeRoute(AudioSession::headphonesRoute(), RouteChangeReason::newDeviceAvailable);
    std::thread system([] {
        AudioSession::shared()->changeRoute(AudioSession::speakerRoute(), RouteChangeReason::oldDeviceUnavailable);
    });
    system.join();
    EXPECT_TRUE(player->calls.empty());  // nothing before the main queue runs
    mainLoop.runUntilIdle();
    EXPECT_EQ(player->calls, std::vector<std::string>{"pause ui"});
}

TEST_F(MediaCenterServiceTest, RouteLossPausesOncePerChangeHoweverOftenTheServiceWasActivated) {
    openPlayer();
    service->deactivate();
    service->activate();
    service->deactivate();  // the registration outlives deactivation
    lose(AudioSession::headphonesRoute());
    EXPECT_EQ(player->calls, std::vector<std::string>{"pause ui"});

    // The player clears the delegate when it closes, which ends the effect.
    service->setDelegate(nullptr);
    lose(AudioSession::headphonesRoute());
    EXPECT_EQ(player->calls, std::vector<std::string>{"pause ui"});
}

TEST_F(MediaCenterServiceTest, RouteChangesWithoutTheirKeysAreIgnored) {
    openPlayer();
    service->handleRouteChange({media::kRouteChangeNotification, nullptr, {}});
    service->handleRouteChange({media::kRouteChangeNotification,
                                nullptr,
                                {{media::kRouteChangeReasonKey, std::uint64_t{2}},
                                 {media::kRouteChangePreviousRouteKey, std::string("headphones")}}});
    service->handleRouteChange(
        {media::kRouteChangeNotification,
         nullptr,
         {{media::kRouteChangeReasonKey, 2}, {media::kRouteChangePreviousRouteKey, AudioSession::headphonesRoute()}}});
    mainLoop.runUntilIdle();
    EXPECT_TRUE(player->calls.empty());
}

}  // namespace
}  // namespace reelhaven

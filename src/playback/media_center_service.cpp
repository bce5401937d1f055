#include "playback/media_center_service.h"

#include <any>
#include <cstdint>
#include <utility>

#include "platform/dispatch/queue.h"
#include "platform/media/audio_session.h"
#include "platform/media/now_playing_info_center.h"
#include "platform/ui/views/main_thread_check.h"
#include "playback/model/playback_info.h"

namespace reelhaven {

using media::RemoteCommandHandlerStatus;

namespace {

// The skip commands advertise 10 s; the player skips by its own interval setting whatever the
// event says.
constexpr double kAdvertisedSkipInterval = 10;

template <typename T>
const T* userInfoValue(const foundation::Notification& notification, const char* key) {
    auto found = notification.userInfo.find(key);
    return found == notification.userInfo.end() ? nullptr : std::any_cast<T>(&found->second);
}

}  // namespace

std::shared_ptr<MediaCenterService> MediaCenterService::create() {
    return std::shared_ptr<MediaCenterService>(new MediaCenterService());
}

MediaCenterService::~MediaCenterService() {
    // The service lives for the process in the app; a test's service must not leave its
    // observer in the default centre.
    foundation::NotificationCenter::defaultCenter().removeObserver(m_routeChangeObserver);
}

std::shared_ptr<VideoControlDelegate> MediaCenterService::delegate() const {
    std::lock_guard lock(m_delegateMutex);
    return m_delegate.lock();
}

void MediaCenterService::setDelegate(const std::shared_ptr<VideoControlDelegate>& delegate) {
    std::lock_guard lock(m_delegateMutex);
    m_delegate = delegate;
}

void MediaCenterService::activate() {
    ui::checkMainThread();
    if (m_state == MediaCenterState::active) return;
    m_state = MediaCenterState::active;

    auto& center = media::RemoteCommandCenter::shared();
    center.playCommand.setEnabled(true);
    center.pauseCommand.setEnabled(true);
    center.togglePlayPauseCommand.setEnabled(true);
    center.nextTrackCommand.setEnabled(false);
    center.previousTrackCommand.setEnabled(false);
    center.skipBackwardCommand.setEnabled(true);
    center.skipForwardCommand.setEnabled(true);
    center.skipBackwardCommand.setPreferredIntervals({kAdvertisedSkipInterval});
    center.skipForwardCommand.setPreferredIntervals({kAdvertisedSkipInterval});

    m_targets.play = center.playCommand.addTarget(handler(&MediaCenterService::play));
    m_targets.pause = center.pauseCommand.addTarget(handler(&MediaCenterService::pause));
    m_targets.togglePlayPause = center.togglePlayPauseCommand.addTarget(handler(&MediaCenterService::togglePlayPause));
    m_targets.skipForward = center.skipForwardCommand.addTarget(handler(&MediaCenterService::skipForward));
    m_targets.skipBackward = center.skipBackwardCommand.addTarget(handler(&MediaCenterService::skipBackward));
    m_targets.changePlaybackPosition =
        center.changePlaybackPositionCommand.addTarget(handler(&MediaCenterService::changePlaybackPosition));

    observeRouteChanges();
}

void MediaCenterService::deactivate() {
    ui::checkMainThread();
    if (m_state == MediaCenterState::inactive) return;
    m_state = MediaCenterState::inactive;

    auto& center = media::RemoteCommandCenter::shared();
    center.playCommand.setEnabled(false);
    center.pauseCommand.setEnabled(false);
    center.togglePlayPauseCommand.setEnabled(false);
    center.skipForwardCommand.setEnabled(false);
    center.skipBackwardCommand.setEnabled(false);

    // Only an active service gets here, so every token is present: none would remove every
    // target of the command, also those of others.
    center.playCommand.removeTarget(m_targets.play);
    center.pauseCommand.removeTarget(m_targets.pause);
    center.togglePlayPauseCommand.removeTarget(m_targets.togglePlayPause);
    center.skipForwardCommand.removeTarget(m_targets.skipForward);
    center.skipBackwardCommand.removeTarget(m_targets.skipBackward);
    center.changePlaybackPositionCommand.removeTarget(m_targets.changePlaybackPosition);

    media::NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(media::NowPlayingInfo{
        {media::kMediaItemPropertyTitle, std::string("Reelhaven")},
        {media::kMediaItemPropertyPlaybackDuration, std::int64_t{0}},
        {media::kNowPlayingInfoPropertyElapsedPlaybackTime, std::int64_t{0}},
        {media::kNowPlayingInfoPropertyPlaybackRate, std::int64_t{0}},
    });
}

void MediaCenterService::updateNowPlayingInfo(const PlaybackInfo& info) {
    ui::checkMainThread();
    media::NowPlayingInfo shown{
        {media::kMediaItemPropertyTitle, info.name()},
        {media::kNowPlayingInfoPropertyElapsedPlaybackTime, info.progress()},
    };
    // Unknown and paused values are the integer 0, as the system expects them.
    if (auto duration = info.duration())
        shown.emplace(media::kMediaItemPropertyPlaybackDuration, *duration);
    else
        shown.emplace(media::kMediaItemPropertyPlaybackDuration, std::int64_t{0});
    if (info.isPaused())
        shown.emplace(media::kNowPlayingInfoPropertyPlaybackRate, std::int64_t{0});
    else
        shown.emplace(media::kNowPlayingInfoPropertyPlaybackRate, 1.0);
    media::NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(std::move(shown));
}

void MediaCenterService::handleRouteChange(const foundation::Notification& notification) {
    auto* reason = userInfoValue<std::uint64_t>(notification, media::kRouteChangeReasonKey);
    if (!reason || *reason != static_cast<std::uint64_t>(media::RouteChangeReason::oldDeviceUnavailable)) return;
    auto* previous = userInfoValue<media::RouteDescription>(notification, media::kRouteChangePreviousRouteKey);
    if (!previous) return;
    if (!previous->hasOutput(media::PortType::headphones) && !previous->hasOutput(media::PortType::bluetoothA2DP))
        return;
    // The block keeps the service alive until the main queue runs it.
    dispatch::Queue::main()->async([self = shared_from_this()] {
        if (auto player = self->delegate()) player->setPaused(true, true);
    });
}

media::RemoteCommand::Handler MediaCenterService::handler(Action action) {
    return [weak = weak_from_this(), action](const media::RemoteCommandEvent& event) {
        auto self = weak.lock();
        if (!self) return RemoteCommandHandlerStatus::commandFailed;
        auto player = self->delegate();
        if (!player) return RemoteCommandHandlerStatus::commandFailed;
        return ((*self).*action)(*player, event);
    };
}

void MediaCenterService::observeRouteChanges() {
    // Once for the service's life: activating again (every return to the foreground) must not
    // pause once per activation.
    if (m_routeChangeObserver.isValid()) return;
    m_routeChangeObserver = foundation::NotificationCenter::defaultCenter().addObserver(
        media::kRouteChangeNotification, nullptr, [weak = weak_from_this()](const foundation::Notification& note) {
            if (auto self = weak.lock()) self->handleRouteChange(note);
        });
}

RemoteCommandHandlerStatus MediaCenterService::play(VideoControlDelegate& player, const media::RemoteCommandEvent&) {
    player.setPaused(false, true);
    m_mediaCenterPaused = false;
    return RemoteCommandHandlerStatus::success;
}

RemoteCommandHandlerStatus MediaCenterService::pause(VideoControlDelegate& player, const media::RemoteCommandEvent&) {
    // Headphones may send pause for every press of their one button: after a remote pause, the
    // next one resumes. The built-in speaker has no such button, so there a pause always pauses.
    bool onSpeaker = media::AudioSession::shared()->currentRoute().hasOutput(media::PortType::builtInSpeaker);
    if (onSpeaker || !m_mediaCenterPaused) {
        player.setPaused(true, true);
        m_mediaCenterPaused = true;
        return RemoteCommandHandlerStatus::success;
    }
    auto info = player.playbackInfo();
    if (!info) return RemoteCommandHandlerStatus::commandFailed;
    player.setPaused(!info->isPaused(), true);
    m_mediaCenterPaused = false;
    return RemoteCommandHandlerStatus::success;
}

RemoteCommandHandlerStatus MediaCenterService::togglePlayPause(VideoControlDelegate& player,
                                                               const media::RemoteCommandEvent&) {
    auto info = player.playbackInfo();
    if (!info) return RemoteCommandHandlerStatus::commandFailed;
    player.setPaused(!info->isPaused(), true);
    return RemoteCommandHandlerStatus::success;
}

RemoteCommandHandlerStatus MediaCenterService::skipForward(VideoControlDelegate& player,
                                                           const media::RemoteCommandEvent&) {
    player.skipForward();
    return RemoteCommandHandlerStatus::success;
}

RemoteCommandHandlerStatus MediaCenterService::skipBackward(VideoControlDelegate& player,
                                                            const media::RemoteCommandEvent&) {
    player.skipBackward();
    return RemoteCommandHandlerStatus::success;
}

RemoteCommandHandlerStatus MediaCenterService::changePlaybackPosition(VideoControlDelegate& player,
                                                                      const media::RemoteCommandEvent& event) {
    if (event.kind != media::RemoteCommandEvent::Kind::changePlaybackPosition)
        return RemoteCommandHandlerStatus::commandFailed;
    player.seekTo(event.positionTime);
    return RemoteCommandHandlerStatus::success;
}

}  // namespace reelhaven

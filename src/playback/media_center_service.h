#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/foundation/notification_center.h"
#include "platform/media/remote_command_center.h"
#include "playback/model/video_control_delegate.h"

namespace reelhaven {

class PlaybackInfo;

enum class MediaCenterState { inactive, active };

// Connects the open player to the system's media controls: the now-playing information of the
// lock screen and control centre, and the remote commands (play, pause, play/pause, skip, change
// position) that drive the player. It also pauses playback when headphones or a Bluetooth output
// go away. One service lives for the process; the open player becomes its delegate and
// activates it, and clears the delegate and deactivates it when it closes.
//
// Threads: `activate`, `deactivate` and `updateNowPlayingInfo` run on the main thread. Remote
// command handlers run on the thread that sends the command and call the delegate there (the
// system sends them on the main thread). The route-change notification may arrive on any thread;
// its handler hands the pause to the main queue. `m_delegateMutex` guards the delegate, which
// the handlers read from their threads; `mediaCenterPaused` is atomic for the same reason.
class MediaCenterService : public std::enable_shared_from_this<MediaCenterService> {
public:
    static std::shared_ptr<MediaCenterService> create();
    ~MediaCenterService();
    MediaCenterService(const MediaCenterService&) = delete;
    MediaCenterService& operator=(const MediaCenterService&) = delete;

    // The open player, held weakly.
    std::shared_ptr<VideoControlDelegate> delegate() const;
    void setDelegate(const std::shared_ptr<VideoControlDelegate>& delegate);

    MediaCenterState state() const { return m_state; }
    // The last pause came from the remote pause command. The player clears it whenever it pauses.
    bool mediaCenterPaused() const { return m_mediaCenterPaused; }
    void setMediaCenterPaused(bool paused) { m_mediaCenterPaused = paused; }

    // Wires the remote commands and, the first time, the route-change observer. Nothing while active.
    void activate();
    // Unwires the remote commands and shows the program's name with zero time. Nothing while inactive.
    void deactivate();
    // Replaces the now-playing information with the title, duration, position and rate of `info`.
    void updateNowPlayingInfo(const PlaybackInfo& info);
    // The route-change notification's action: losing headphones or a Bluetooth A2DP output
    // pauses the player (asynchronously on the main queue).
    void handleRouteChange(const foundation::Notification& notification);

    // The tokens of the handlers added by the latest `activate`; kept after `deactivate`.
    struct CommandTargets {
        std::optional<media::RemoteCommandTarget> play;
        std::optional<media::RemoteCommandTarget> pause;
        std::optional<media::RemoteCommandTarget> togglePlayPause;
        std::optional<media::RemoteCommandTarget> skipForward;
        std::optional<media::RemoteCommandTarget> skipBackward;
        std::optional<media::RemoteCommandTarget> changePlaybackPosition;
    };
    const CommandTargets& commandTargets() const { return m_targets; }

private:
    MediaCenterService() = default;

    using Action = media::RemoteCommandHandlerStatus (MediaCenterService::*)(VideoControlDelegate&,
                                                                             const media::RemoteCommandEvent&);
    // A handler that holds the service weakly and fails without it or without a delegate.
    media::RemoteCommand::Handler handler(Action action);
    void observeRouteChanges();

    media::RemoteCommandHandlerStatus play(VideoControlDelegate& player, const media::RemoteCommandEvent&);
    media::RemoteCommandHandlerStatus pause(VideoControlDelegate& player, const media::RemoteCommandEvent&);
    media::RemoteCommandHandlerStatus togglePlayPause(VideoControlDelegate& player, const media::RemoteCommandEvent&);
    media::RemoteCommandHandlerStatus skipForward(VideoControlDelegate& player, const media::RemoteCommandEvent&);
    media::RemoteCommandHandlerStatus skipBackward(VideoControlDelegate& player, const media::RemoteCommandEvent&);
    media::RemoteCommandHandlerStatus changePlaybackPosition(VideoControlDelegate& player,
                                                             const media::RemoteCommandEvent& event);

    mutable std::mutex m_delegateMutex;  // guards m_delegate
    std::weak_ptr<VideoControlDelegate> m_delegate;

    // Main thread.
    MediaCenterState m_state = MediaCenterState::inactive;
    CommandTargets m_targets;
    foundation::NotificationCenter::Token m_routeChangeObserver;

    std::atomic<bool> m_mediaCenterPaused{false};
};

}  // namespace reelhaven

#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace media {

enum class RemoteCommandHandlerStatus {
    success,
    noSuchContent,
    noActionableNowPlayingItem,
    deviceNotFound,
    commandFailed
};

// What a command's handler is given. A change-playback-position event carries the position.
struct RemoteCommandEvent {
    enum class Kind { plain, skipInterval, changePlaybackPosition };
    Kind kind = Kind::plain;
    double interval = 0;      // skipInterval: seconds
    double positionTime = 0;  // changePlaybackPosition: seconds
};

// The opaque token `addTarget` returns; `removeTarget` takes it back.
struct RemoteCommandTarget {
    std::uint64_t id = 0;
    bool operator==(const RemoteCommandTarget&) const = default;
};

// One remote command: an enabled flag, its handlers, and for skip commands the preferred intervals.
// Thread safe; handlers run on the thread that sends the command, outside the lock.
class RemoteCommand {
public:
    using Handler = std::function<RemoteCommandHandlerStatus(const RemoteCommandEvent&)>;

    bool isEnabled() const;
    void setEnabled(bool enabled);
    std::vector<double> preferredIntervals() const;
    void setPreferredIntervals(std::vector<double> intervals);

    RemoteCommandTarget addTarget(Handler handler);
    // None removes every target; an unknown token does nothing.
    void removeTarget(std::optional<RemoteCommandTarget> target);
    std::size_t targetCount() const;

    // The system side: the user pressed the command. Runs the handlers in the order they were added
    // and returns the last one's status; commandFailed when the command is disabled or has none.
    RemoteCommandHandlerStatus send(const RemoteCommandEvent& event = {});

private:
    mutable std::mutex m_mutex;
    bool m_enabled = true;  // a command is on until the app turns it off
    std::vector<double> m_preferredIntervals;
    std::uint64_t m_nextId = 1;
    std::map<std::uint64_t, std::shared_ptr<Handler>> m_handlers;
};

// The process's remote commands (lock screen, control centre, headphones).
class RemoteCommandCenter {
public:
    static RemoteCommandCenter& shared();

    RemoteCommand playCommand;
    RemoteCommand pauseCommand;
    RemoteCommand togglePlayPauseCommand;
    RemoteCommand nextTrackCommand;
    RemoteCommand previousTrackCommand;
    RemoteCommand skipForwardCommand;
    RemoteCommand skipBackwardCommand;
    RemoteCommand changePlaybackPositionCommand;

    // Every command enabled again, without targets or intervals; for tests.
    void reset();

private:
    RemoteCommandCenter() = default;
};

}  // namespace media

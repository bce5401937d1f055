#include "platform/media/remote_command_center.h"

namespace media {

bool RemoteCommand::isEnabled() const {
    std::lock_guard lock(m_mutex);
    return m_enabled;
}

void RemoteCommand::setEnabled(bool enabled) {
    std::lock_guard lock(m_mutex);
    m_enabled = enabled;
}

std::vector<double> RemoteCommand::preferredIntervals() const {
    std::lock_guard lock(m_mutex);
    return m_preferredIntervals;
}

void RemoteCommand::setPreferredIntervals(std::vector<double> intervals) {
    std::lock_guard lock(m_mutex);
    m_preferredIntervals = std::move(intervals);
}

RemoteCommandTarget RemoteCommand::addTarget(Handler handler) {
    std::lock_guard lock(m_mutex);
    std::uint64_t id = m_nextId++;
    m_handlers.emplace(id, std::make_shared<Handler>(std::move(handler)));
    return {id};
}

void RemoteCommand::removeTarget(std::optional<RemoteCommandTarget> target) {
    std::lock_guard lock(m_mutex);
    if (!target) {
        m_handlers.clear();
    } else {
        m_handlers.erase(target->id);
    }
}

std::size_t RemoteCommand::targetCount() const {
    std::lock_guard lock(m_mutex);
    return m_handlers.size();
}

RemoteCommandHandlerStatus RemoteCommand::send(const RemoteCommandEvent& event) {
    std::vector<std::shared_ptr<Handler>> handlers;
    {
        std::lock_guard lock(m_mutex);
        if (!m_enabled) return RemoteCommandHandlerStatus::commandFailed;
        for (const auto& [id, handler] : m_handlers) handlers.push_back(handler);
    }
    auto status = RemoteCommandHandlerStatus::commandFailed;
    for (const auto& handler : handlers) status = (*handler)(event);
    return status;
}

RemoteCommandCenter& RemoteCommandCenter::shared() {
    static RemoteCommandCenter center;
    return center;
}

void RemoteCommandCenter::reset() {
    for (RemoteCommand* command :
         {&playCommand, &pauseCommand, &togglePlayPauseCommand, &nextTrackCommand, &previousTrackCommand,
          &skipForwardCommand, &skipBackwardCommand, &changePlaybackPositionCommand}) {
        command->setEnabled(true);
        command->setPreferredIntervals({});
        command->removeTarget(std::nullopt);
    }
}

}  // namespace media

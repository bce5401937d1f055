#include "platform/dispatch/group.h"

#include "platform/base/fatal.h"

namespace dispatch {

void Group::enter() {
    std::lock_guard lock(m_mutex);
    ++m_count;
}

void Group::leave() {
    std::vector<std::pair<std::shared_ptr<Queue>, std::function<void()>>> notifications;
    {
        std::lock_guard lock(m_mutex);
        if (m_count == 0) base::fatal("unbalanced leave() on a dispatch group");
        if (--m_count > 0) return;
        notifications.swap(m_notifications);
        // Under the lock: a waiter may destroy the group as soon as it sees the count at zero.
        m_empty.notify_all();
    }
    for (auto& [queue, work] : notifications) queue->async(std::move(work));
}

void Group::notify(std::shared_ptr<Queue> queue, std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        if (m_count > 0) {
            m_notifications.emplace_back(std::move(queue), std::move(work));
            return;
        }
    }
    queue->async(std::move(work));
}

bool Group::wait(std::optional<std::chrono::milliseconds> timeout) {
    std::unique_lock lock(m_mutex);
    auto empty = [this] { return m_count == 0; };
    if (!timeout) {
        m_empty.wait(lock, empty);
        return true;
    }
    return m_empty.wait_for(lock, *timeout, empty);
}

void Group::async(const std::shared_ptr<Queue>& queue, std::function<void()> work) {
    enter();
    queue->async([self = shared_from_this(), work = std::move(work)] {
        work();
        self->leave();
    });
}

}  // namespace dispatch

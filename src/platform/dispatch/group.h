#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/dispatch/queue.h"

namespace dispatch {

// A dispatch group: counts work entered and left; notifies and wakes waiters when it is empty.
class Group : public std::enable_shared_from_this<Group> {
public:
    static std::shared_ptr<Group> create() { return std::shared_ptr<Group>(new Group()); }

    void enter();
    void leave();  // More leaves than enters is a programming error (fatal).
    // Runs `work` on `queue` once the group is empty (at once if it is empty now).
    void notify(std::shared_ptr<Queue> queue, std::function<void()> work);
    // Blocks until the group is empty or `timeout` passes (real time). Returns false on time-out.
    bool wait(std::optional<std::chrono::milliseconds> timeout = std::nullopt);
    // Enters, runs `work` on `queue`, then leaves.
    void async(const std::shared_ptr<Queue>& queue, std::function<void()> work);

private:
    Group() = default;

    std::mutex m_mutex;
    std::condition_variable m_empty;
    long m_count = 0;
    std::vector<std::pair<std::shared_ptr<Queue>, std::function<void()>>> m_notifications;
};

}  // namespace dispatch

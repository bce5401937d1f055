#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace reelhaven {

// Counts a manager's thumbnail and duration jobs that have started and not yet ended, and lets a
// caller wait until there are none. Safe from any thread.
class VideoManagerJobCounter {
public:
    void started() {
        std::lock_guard lock(m_mutex);
        ++m_count;
    }

    void ended() {
        std::lock_guard lock(m_mutex);
        if (--m_count == 0) m_none.notify_all();
    }

    void waitUntilNone() {
        std::unique_lock lock(m_mutex);
        m_none.wait(lock, [this] { return m_count == 0; });
    }

    // At most `timeout`: true once there are none.
    bool waitUntilNone(std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        return m_none.wait_for(lock, timeout, [this] { return m_count == 0; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_none;
    std::size_t m_count = 0;
};

}  // namespace reelhaven

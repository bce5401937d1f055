#pragma once

#include <condition_variable>
#include <mutex>

namespace dispatch {

// One-shot signal a `sync` caller waits on until its block has run elsewhere.
class Latch {
public:
    void signal() {
        // Notify under the lock: the waiter destroys the latch as soon as it sees m_done.
        std::lock_guard lock(m_mutex);
        m_done = true;
        m_cv.notify_all();
    }
    void wait() {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [this] { return m_done; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
};

}  // namespace dispatch

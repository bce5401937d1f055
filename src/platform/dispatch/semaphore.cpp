#include "platform/dispatch/semaphore.h"

namespace dispatch {

void Semaphore::signal() {
    // Under the lock: a waiter may destroy the semaphore as soon as it takes the value.
    std::lock_guard lock(m_mutex);
    ++m_value;
    m_available.notify_one();
}

bool Semaphore::wait(std::optional<std::chrono::milliseconds> timeout) {
    std::unique_lock lock(m_mutex);
    auto positive = [this] { return m_value > 0; };
    if (!timeout) {
        m_available.wait(lock, positive);
    } else if (!m_available.wait_for(lock, *timeout, positive)) {
        return false;
    }
    --m_value;
    return true;
}

}  // namespace dispatch

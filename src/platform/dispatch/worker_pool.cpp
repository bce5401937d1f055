#include "platform/dispatch/worker_pool.h"

#include <chrono>
#include <thread>

namespace dispatch {

namespace {
constexpr auto kIdleLifetime = std::chrono::seconds(10);
}

WorkerPool& WorkerPool::shared() {
    // Never destroyed: detached workers may still touch it while the process exits.
    static auto* pool = new WorkerPool();
    return *pool;
}

void WorkerPool::submit(std::function<void()> work) {
    std::unique_lock lock(m_mutex);
    m_work.push_back(std::move(work));
    if (m_idle > static_cast<int>(m_work.size()) - 1) {
        m_available.notify_one();
        return;
    }
    ++m_threads;
    lock.unlock();
    std::thread([this] { workerLoop(); }).detach();
}

void WorkerPool::workerLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_work.empty()) {
            ++m_idle;
            bool woke = m_available.wait_for(lock, kIdleLifetime, [this] { return !m_work.empty(); });
            --m_idle;
            if (!woke) {
                --m_threads;
                return;
            }
        }
        auto work = std::move(m_work.front());
        m_work.pop_front();
        lock.unlock();
        work();
        work = nullptr;  // release captures before taking the lock again
        lock.lock();
    }
}

}  // namespace dispatch

#include "platform/dispatch/worker_pool.h"

#include <pthread.h>

#include <chrono>
#include <memory>

namespace dispatch {

namespace {
constexpr auto kIdleLifetime = std::chrono::seconds(10);
}

bool startDetachedThread(std::function<void()> body) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    pthread_t thread;
    int error = pthread_create(
        &thread, &attributes,
        [](void* argument) -> void* {
            std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(argument));
            (*work)();
            return nullptr;
        },
        owned.get());
    pthread_attr_destroy(&attributes);
    if (error != 0) return false;
    owned.release();  // the thread owns it now
    return true;
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
    if (!startDetachedThread([this] { workerLoop(); })) {
        // No thread now: the work stays queued for the next worker that frees up or starts.
        lock.lock();
        --m_threads;
    }
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

#include "platform/dispatch/concurrent_queue.h"

#include "platform/dispatch/latch.h"
#include "platform/dispatch/worker_pool.h"

namespace dispatch {

void ConcurrentQueue::enqueue(std::function<void()> work, bool barrier) {
    std::vector<Item> started;
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(Item{std::move(work), barrier});
        startWithLock(started);
    }
    launch(started);
}

void ConcurrentQueue::startWithLock(std::vector<Item>& started) {
    while (!m_pending.empty() && !m_barrierRunning) {
        Item& front = m_pending.front();
        if (front.barrier) {
            if (m_running == 0) {
                m_barrierRunning = true;
                started.push_back(std::move(front));
                m_pending.pop_front();
            }
            return;
        }
        ++m_running;
        started.push_back(std::move(front));
        m_pending.pop_front();
    }
}

void ConcurrentQueue::launch(std::vector<Item>& started) {
    if (started.empty()) return;
    auto self = std::static_pointer_cast<ConcurrentQueue>(shared_from_this());
    for (auto& item : started) {
        WorkerPool::shared().submit([self, item = std::move(item)] {
            self->runMarked(item.work);
            self->finished(item.barrier);
        });
    }
}

void ConcurrentQueue::finished(bool barrier) {
    std::vector<Item> started;
    {
        std::lock_guard lock(m_mutex);
        if (barrier) {
            m_barrierRunning = false;
        } else {
            --m_running;
        }
        startWithLock(started);
    }
    launch(started);
}

void ConcurrentQueue::runInline(const std::function<void()>& work, bool barrier) {
    struct Finish {
        ConcurrentQueue* queue;
        bool barrier;
        ~Finish() { queue->finished(barrier); }
    } finish{this, barrier};
    runMarked(work);
}

void ConcurrentQueue::sync(const std::function<void()>& work) {
    std::unique_lock lock(m_mutex);
    if (m_pending.empty() && !m_barrierRunning) {
        ++m_running;
        lock.unlock();
        runInline(work, false);
        return;
    }
    Latch latch;
    m_pending.push_back(Item{[&] {
                                 work();
                                 latch.signal();
                             },
                             false});
    std::vector<Item> started;
    startWithLock(started);
    lock.unlock();
    launch(started);
    latch.wait();
}

void ConcurrentQueue::syncBarrier(const std::function<void()>& work) {
    if (!isBarrierQueue()) return sync(work);
    checkNotCurrent("a barrier");
    std::unique_lock lock(m_mutex);
    if (m_pending.empty() && !m_barrierRunning && m_running == 0) {
        m_barrierRunning = true;
        lock.unlock();
        runInline(work, true);
        return;
    }
    Latch latch;
    m_pending.push_back(Item{[&] {
                                 work();
                                 latch.signal();
                             },
                             true});
    std::vector<Item> started;
    startWithLock(started);
    lock.unlock();
    launch(started);
    latch.wait();
}

}  // namespace dispatch

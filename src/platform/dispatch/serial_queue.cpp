#include "platform/dispatch/serial_queue.h"

#include "platform/dispatch/latch.h"
#include "platform/dispatch/worker_pool.h"

namespace dispatch {

void SerialQueue::async(std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(std::move(work));
        if (m_active) return;
        m_active = true;
    }
    submitDrain();
}

void SerialQueue::submitDrain() {
    auto self = std::static_pointer_cast<SerialQueue>(shared_from_this());
    WorkerPool::shared().submit([self] { self->drain(); });
}

void SerialQueue::drain() {
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(m_mutex);
            if (m_items.empty()) {
                m_active = false;
                return;
            }
            work = std::move(m_items.front());
            m_items.pop_front();
        }
        runMarked(work);
    }
}

void SerialQueue::finishInline() {
    {
        std::lock_guard lock(m_mutex);
        if (m_items.empty()) {
            m_active = false;
            return;
        }
    }
    submitDrain();
}

void SerialQueue::sync(const std::function<void()>& work) {
    checkNotCurrent("sync");
    std::unique_lock lock(m_mutex);
    if (!m_active) {
        m_active = true;
        lock.unlock();
        struct Finish {
            SerialQueue* queue;
            ~Finish() { queue->finishInline(); }
        } finish{this};
        runMarked(work);
        return;
    }
    Latch latch;
    m_items.push_back([&] {
        work();
        latch.signal();
    });
    lock.unlock();
    latch.wait();
}

}  // namespace dispatch

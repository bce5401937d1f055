#include "platform/dispatch/work_queue.h"

#include "platform/base/fatal.h"
#include "platform/base/log.h"
#include "platform/dispatch/latch.h"

namespace dispatch {

std::shared_ptr<WorkQueue> WorkQueue::create(std::string label, QoS qos) {
    return std::shared_ptr<WorkQueue>(new WorkQueue(std::move(label), qos));
}

WorkQueue::WorkQueue(std::string label, QoS qos) : Queue(std::move(label), QueueKind::serial, qos) {
    // `this` is valid for every block: the destructor joins the thread before the queue goes,
    // and a queue destroyed on its own thread is destroyed inside the last block it runs.
    m_thread = std::thread([loop = m_loop, this] { serve(loop, this); });
    m_threadId = m_thread.get_id();
}

WorkQueue::~WorkQueue() {
    if (std::this_thread::get_id() == m_threadId) {
        std::deque<std::function<void()>> dropped;  // destroyed outside the lock: they may post
        {
            std::lock_guard lock(m_loop->mutex);
            m_loop->stopping = true;
            dropped.swap(m_loop->items);
        }
        m_thread.detach();
        return;
    }
    shutdown();
}

void WorkQueue::serve(const std::shared_ptr<Loop>& loop, WorkQueue* queue) {
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(loop->mutex);
            loop->wake.wait(lock, [&] { return loop->stopping || !loop->items.empty(); });
            if (loop->items.empty()) return;
            work = std::move(loop->items.front());
            loop->items.pop_front();
        }
        queue->runMarked(work);
        work = nullptr;  // captured state goes before the queue may be gone
        std::lock_guard lock(loop->mutex);
        if (loop->stopping && loop->items.empty()) return;
    }
}

void WorkQueue::async(std::function<void()> work) {
    // The block may drop the last reference to this queue as soon as it is queued, so the wake-up
    // goes through a reference of our own.
    const std::shared_ptr<Loop> loop = m_loop;
    {
        std::lock_guard lock(loop->mutex);
        if (loop->stopping) {
            base::log(base::LogLevel::warning, "dispatch", "block dropped: queue \"" + label() + "\" is shut down");
            return;
        }
        loop->items.push_back(std::move(work));
    }
    loop->wake.notify_one();
}

void WorkQueue::sync(const std::function<void()>& work) {
    checkNotCurrent("sync");
    auto loop = m_loop;  // the block may destroy this queue (see async)
    Latch latch;
    {
        std::lock_guard lock(loop->mutex);
        if (loop->stopping) base::fatal("sync on queue \"" + label() + "\" after its shutdown");
        loop->items.push_back([&] {
            struct Signal {
                Latch& latch;
                ~Signal() { latch.signal(); }
            } signal{latch};
            work();
        });
    }
    loop->wake.notify_one();
    latch.wait();
}

bool WorkQueue::isCurrent() const { return std::this_thread::get_id() == m_threadId; }

void WorkQueue::shutdown() {
    if (isCurrent()) base::fatal("shutdown of queue \"" + label() + "\" from its own thread would deadlock");
    {
        std::lock_guard lock(m_loop->mutex);
        m_loop->stopping = true;
    }
    m_loop->wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
}

bool WorkQueue::isShutDown() const {
    std::lock_guard lock(m_loop->mutex);
    return m_loop->stopping;
}

}  // namespace dispatch

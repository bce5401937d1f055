#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/dispatch/queue.h"

namespace dispatch {

// A serial queue that owns one thread: every block runs on that thread, in submission order, one
// at a time. Use it where the blocks must share thread-bound state (an EGL context is refused by
// a thread while another thread still holds it current; the pool threads of SerialQueue would
// make that happen).
//
// `shutdown()` (and the destructor) runs the blocks already submitted, then joins the thread.
// Blocks submitted afterwards are dropped, and `sync` after shutdown is fatal. A block that
// drops the last reference to its own queue ends the thread after that block instead of joining
// it (a thread cannot join itself).
class WorkQueue final : public Queue {
public:
    static std::shared_ptr<WorkQueue> create(std::string label, QoS qos = QoS::unspecified);
    ~WorkQueue() override;
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    void async(std::function<void()> work) override;
    void sync(const std::function<void()>& work) override;
    void asyncBarrier(std::function<void()> work) override { async(std::move(work)); }
    void syncBarrier(const std::function<void()>& work) override { sync(work); }

    // True on the queue's own thread only.
    bool isCurrent() const override;
    std::thread::id threadId() const { return m_threadId; }

    // Runs what was submitted, then joins. Idempotent; fatal from the queue's own thread.
    void shutdown();
    bool isShutDown() const;

private:
    WorkQueue(std::string label, QoS qos);

    // What the thread needs: shared with it, so a thread that outlives its queue (see above)
    // touches nothing of the queue after the last block.
    struct Loop {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> items;
        bool stopping = false;
    };
    static void serve(const std::shared_ptr<Loop>& loop, WorkQueue* queue);

    std::shared_ptr<Loop> m_loop = std::make_shared<Loop>();
    std::thread m_thread;
    std::thread::id m_threadId;
};

}  // namespace dispatch

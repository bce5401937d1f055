#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace dispatch {

// Starts `body` on a new thread that is detached from its creation, so the thread may end and free
// its stack at any moment without racing a later detach (glibc's pthread_detach touches the
// thread's descriptor, which a thread that already ended has freed). False when no thread could
// be made (`body` is then dropped unrun).
[[nodiscard]] bool startDetachedThread(std::function<void()> body);

// The threads every non-main queue runs its blocks on. A block that finds no idle thread gets a
// new one, so blocks that wait on each other (groups, semaphores, `sync`) cannot starve the pool.
// Idle threads end after a while. The pool lives for the whole process.
class WorkerPool {
public:
    static WorkerPool& shared();

    void submit(std::function<void()> work);

private:
    WorkerPool() = default;
    void workerLoop();

    std::mutex m_mutex;
    std::condition_variable m_available;
    std::deque<std::function<void()>> m_work;
    int m_idle = 0;
    int m_threads = 0;
};

}  // namespace dispatch

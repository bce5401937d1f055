#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "platform/dispatch/queue.h"

namespace dispatch {

// Runs blocks in parallel on pool threads; a barrier block waits for the blocks before it and
// holds back the blocks after it. Global queues ignore barriers, as the platform's do.
class ConcurrentQueue final : public Queue {
public:
    enum class Barriers { honoured, ignored };

    ConcurrentQueue(std::string label, QoS qos, Barriers barriers = Barriers::honoured)
        : Queue(std::move(label), QueueKind::concurrent, qos), m_barriers(barriers) {}

    void async(std::function<void()> work) override { enqueue(std::move(work), false); }
    void sync(const std::function<void()>& work) override;
    void asyncBarrier(std::function<void()> work) override { enqueue(std::move(work), isBarrierQueue()); }
    void syncBarrier(const std::function<void()>& work) override;

private:
    struct Item {
        std::function<void()> work;
        bool barrier;
    };

    bool isBarrierQueue() const { return m_barriers == Barriers::honoured; }
    void enqueue(std::function<void()> work, bool barrier);
    void startWithLock(std::vector<Item>& started);
    void launch(std::vector<Item>& started);
    void finished(bool barrier);
    void runInline(const std::function<void()>& work, bool barrier);

    Barriers m_barriers;
    std::mutex m_mutex;
    std::deque<Item> m_pending;
    int m_running = 0;
    bool m_barrierRunning = false;
};

}  // namespace dispatch

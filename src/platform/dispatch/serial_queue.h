#pragma once

#include <deque>
#include <mutex>

#include "platform/dispatch/queue.h"

namespace dispatch {

// Runs one block at a time, in submission order, on a pool thread (or inline for a `sync` that
// finds the queue idle).
class SerialQueue final : public Queue {
public:
    SerialQueue(std::string label, QoS qos) : Queue(std::move(label), QueueKind::serial, qos) {}

    void async(std::function<void()> work) override;
    void sync(const std::function<void()>& work) override;
    void asyncBarrier(std::function<void()> work) override { async(std::move(work)); }
    void syncBarrier(const std::function<void()>& work) override { sync(work); }

private:
    void submitDrain();
    void drain();
    void finishInline();

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_items;
    bool m_active = false;  // a drain is scheduled or running, or a `sync` runs inline
};

}  // namespace dispatch

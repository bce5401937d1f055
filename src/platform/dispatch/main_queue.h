#pragma once

#include "platform/dispatch/queue.h"

namespace dispatch {

// The main queue: blocks are posted to the main run loop installed at the time of the call.
class MainQueue final : public Queue {
public:
    MainQueue() : Queue("com.reelhaven.main-thread", QueueKind::serial, QoS::userInteractive) {}

    void async(std::function<void()> work) override;
    // From the main thread this would deadlock; it is fatal.
    void sync(const std::function<void()>& work) override;
    void asyncBarrier(std::function<void()> work) override { async(std::move(work)); }
    void syncBarrier(const std::function<void()>& work) override { sync(work); }

    // On the main thread, blocks or not.
    bool isCurrent() const override;
};

}  // namespace dispatch

#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"

namespace dispatch {

// A timer on the main run loop (it follows the run loop's clock). The run loop keeps a valid
// timer alive; `invalidate` stops it for good. A repeating timer fires on the grid of its first
// fire time, skipping beats that have already passed.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Block = std::function<void(Timer&)>;

    static std::shared_ptr<Timer> scheduledTimer(Duration interval, bool repeats, Block block);
    static std::shared_ptr<Timer> scheduledTimer(double intervalSeconds, bool repeats, Block block) {
        return scheduledTimer(seconds(intervalSeconds), repeats, std::move(block));
    }

    ~Timer();

    Duration interval() const { return m_interval; }
    bool repeats() const { return m_repeats; }
    bool isValid() const;
    // Runs the block now; a non-repeating timer is then invalid.
    void fire();
    void invalidate();

private:
    Timer(Duration interval, bool repeats, Block block);
    void scheduleAt(TimePoint when);
    void fired(TimePoint scheduledFor);

    Duration m_interval;
    bool m_repeats;
    Block m_block;
    mutable std::mutex m_mutex;
    bool m_valid = true;
    std::weak_ptr<RunLoop> m_loop;
    RunLoop::TimerId m_pending = 0;
};

}  // namespace dispatch

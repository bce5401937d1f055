#include "platform/dispatch/timer.h"

#include <algorithm>
#include <utility>

namespace dispatch {

namespace {
// A repeating timer of no interval would fire forever without letting time move.
constexpr Duration kMinimumRepeatInterval = std::chrono::microseconds(100);
}  // namespace

Timer::Timer(Duration interval, bool repeats, Block block)
    : m_interval(repeats ? std::max(interval, kMinimumRepeatInterval) : std::max(interval, Duration::zero())),
      m_repeats(repeats),
      m_block(std::move(block)) {}

Timer::~Timer() = default;

std::shared_ptr<Timer> Timer::scheduledTimer(Duration interval, bool repeats, Block block) {
    auto timer = std::shared_ptr<Timer>(new Timer(interval, repeats, std::move(block)));
    auto loop = RunLoop::main();
    timer->m_loop = loop;
    timer->scheduleAt(loop->now() + timer->m_interval);
    return timer;
}

void Timer::scheduleAt(TimePoint when) {
    auto loop = m_loop.lock();
    if (!loop) return;
    // The run loop keeps the timer alive until it fires or is invalidated.
    auto id = loop->schedule(when, [self = shared_from_this(), when] { self->fired(when); });
    std::lock_guard lock(m_mutex);
    m_pending = id;
}

bool Timer::isValid() const {
    std::lock_guard lock(m_mutex);
    return m_valid;
}

void Timer::fired(TimePoint scheduledFor) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_valid) return;
        m_pending = 0;
    }
    m_block(*this);
    if (!m_repeats) {
        invalidate();
        return;
    }
    if (!isValid()) return;
    auto loop = m_loop.lock();
    if (!loop) return;
    TimePoint next = scheduledFor + m_interval;
    const TimePoint now = loop->now();
    if (next <= now) next += m_interval * ((now - next) / m_interval + 1);
    scheduleAt(next);
}

void Timer::fire() {
    if (!isValid()) return;
    m_block(*this);
    if (!m_repeats) invalidate();
}

void Timer::invalidate() {
    RunLoop::TimerId pending;
    {
        std::lock_guard lock(m_mutex);
        m_valid = false;
        pending = std::exchange(m_pending, 0);
    }
    if (auto loop = m_loop.lock(); loop && pending) loop->cancel(pending);
}

}  // namespace dispatch

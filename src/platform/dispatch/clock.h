#pragma once

#include <atomic>
#include <chrono>
#include <memory>

namespace dispatch {

// Time on a clock, counted from the clock's own origin.
using Duration = std::chrono::nanoseconds;
using TimePoint = std::chrono::nanoseconds;

// `seconds(0.2)`: a duration from the Double seconds the product speaks in.
constexpr Duration seconds(double value) {
    return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(value));
}
constexpr double toSeconds(Duration value) { return std::chrono::duration<double>(value).count(); }

// The one clock abstraction: the main run loop, its timers, `asyncAfter` and animations all
// read the time from the clock of the main run loop.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // A manual clock only moves when a test advances it; the run loop then never waits for it.
    virtual bool isManual() const = 0;
};

// The steady clock of the machine; what the application runs on.
class RealClock final : public Clock {
public:
    TimePoint now() const override;
    bool isManual() const override { return false; }
};

// A clock that tests move forward through `RunLoop::advance`, which fires each timer at its time.
class ManualClock final : public Clock {
public:
    explicit ManualClock(TimePoint start = TimePoint{0}) : m_now(start.count()) {}
    TimePoint now() const override { return TimePoint{m_now.load()}; }
    bool isManual() const override { return true; }
    // Sets the time; only the run loop and tests that own the clock call it. Time never goes back.
    void set(TimePoint time);

private:
    std::atomic<TimePoint::rep> m_now;
};

}  // namespace dispatch

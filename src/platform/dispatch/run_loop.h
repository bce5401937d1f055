#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/main_thread.h"

namespace dispatch {

// The main run loop: it serves the main queue, timers, `asyncAfter` and animation completions
// on one thread, the "main thread" (whichever thread serves it). Work may be posted from any
// thread; it runs in posting order. Timers run in order of their fire time, ties in order of
// scheduling.
class RunLoop : public std::enable_shared_from_this<RunLoop> {
public:
    using TimerId = std::uint64_t;

    static std::shared_ptr<RunLoop> create(std::shared_ptr<Clock> clock);

    // The installed main run loop. Until one is installed, a loop on the real clock is made.
    static std::shared_ptr<RunLoop> main();
    static void setMain(std::shared_ptr<RunLoop> loop);

    const Clock& clock() const { return *m_clock; }
    TimePoint now() const { return m_clock->now(); }

    // Any thread.
    void post(std::function<void()> work);
    TimerId schedule(TimePoint when, std::function<void()> work);
    void cancel(TimerId id);
    bool hasPendingWork() const;
    // Whether work was posted that has not run yet (timers aside).
    bool hasPostedWork() const;
    // The fire time of the earliest timer, if any.
    std::optional<TimePoint> nextTimerTime() const;

    // Called (on the posting thread, outside the loop's lock) after each post and schedule, for a
    // loop that waits somewhere else than in `run()`: a window's event pump serving this loop
    // wakes its wait from it. Null removes it.
    void setWakeHandler(std::function<void()> handler);
    // Any thread. Wakes a `runUntil` waiting on this loop, and the wake handler, without posting:
    // for work done on another thread that its condition looks at (a video frame drawn).
    void wake();

    // Serving; the calling thread becomes the main thread.
    // Serves until `stop()`; on the real clock it sleeps until the next post or timer.
    void run();
    // Serves like `run()`, but waits through `wait`, for a loop that must also wait on something
    // else (a window's events): `wait` gets the time until the next timer (none: no timer) and
    // returns early when the wake handler wakes it. The clock does not move for a manual clock.
    void run(const std::function<void(std::optional<Duration>)>& wait);
    void stop();
    // Runs posted work and the timers due now until nothing is ready. Returns whether anything ran.
    bool runUntilIdle();
    // Manual clock only: moves time forward by `by`, firing each due timer at its own fire time.
    void advance(Duration by);
    // What may make a `runUntil` condition hold. `anyThread`: also work on other threads that
    // tells the loop nothing, so the condition is looked at again every few milliseconds.
    // `servedWork`: only what the loop serves (posts, timers) and `wake()`; between them it sleeps
    // until the next post, wake, timer or the timeout, as `run()` does.
    enum class ConditionSource { anyThread, servedWork };
    // Serves posted work and due timers (waiting for posts from other threads in real time) until
    // `condition` holds or `realTimeout` passes. Returns whether the condition held. The clock
    // does not move.
    bool runUntil(const std::function<bool()>& condition,
                  std::chrono::milliseconds realTimeout = std::chrono::seconds(30),
                  ConditionSource source = ConditionSource::anyThread);

    // True on the thread that serves this loop.
    bool isCurrent() const;
    // The thread that serves this loop (the last one that did), none before any.
    std::thread::id thread() const { return m_thread.load(); }
    void bindToCurrentThread();

private:
    explicit RunLoop(std::shared_ptr<Clock> clock) : m_clock(std::move(clock)) {}

    struct TimerKey {
        TimePoint when;
        TimerId id;
        bool operator<(const TimerKey& other) const { return when != other.when ? when < other.when : id < other.id; }
    };

    bool runPosted();
    // When a `runUntil` that has nothing to run wakes up by itself, in real time; m_mutex held.
    std::chrono::steady_clock::time_point runUntilWakeTimeWithLock(std::chrono::steady_clock::time_point deadline,
                                                                   ConditionSource source) const;
    void callWakeHandler();
    bool fireOneDueTimer(TimePoint now);

    std::shared_ptr<Clock> m_clock;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_posted;
    std::map<TimerKey, std::function<void()>> m_timers;
    std::map<TimerId, TimePoint> m_timerTimes;
    TimerId m_nextTimerId = 1;
    bool m_stopped = false;
    std::uint64_t m_wakes = 0;  // by `wake()`
    std::atomic<std::thread::id> m_thread{};
    std::mutex m_wakeMutex;  // guards m_wakeHandler only: it runs outside m_mutex
    std::function<void()> m_wakeHandler;
};

// For tests: installs a fresh main run loop on a manual clock, served by the calling thread,
// and restores the previous one when it goes away.
class ScopedMainRunLoop {
public:
    explicit ScopedMainRunLoop(TimePoint start = TimePoint{0});
    ~ScopedMainRunLoop();
    ScopedMainRunLoop(const ScopedMainRunLoop&) = delete;
    ScopedMainRunLoop& operator=(const ScopedMainRunLoop&) = delete;

    RunLoop& loop() { return *m_loop; }
    ManualClock& clock() { return *m_clock; }
    void advance(Duration by) { m_loop->advance(by); }
    void advanceSeconds(double by) { m_loop->advance(seconds(by)); }
    bool runUntilIdle() { return m_loop->runUntilIdle(); }
    bool runUntil(const std::function<bool()>& condition,
                  std::chrono::milliseconds realTimeout = std::chrono::seconds(30)) {
        return m_loop->runUntil(condition, realTimeout);
    }

private:
    std::shared_ptr<ManualClock> m_clock;
    std::shared_ptr<RunLoop> m_loop;
    std::shared_ptr<RunLoop> m_previous;
};

}  // namespace dispatch

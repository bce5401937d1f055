#include "platform/dispatch/run_loop.h"

#include <algorithm>
#include <utility>

#include "platform/base/fatal.h"

namespace dispatch {

namespace {
// Never destroyed, like the main queue: threads still running as the process exits may reach them.
std::mutex& mainMutex() {
    static auto* mutex = new std::mutex();
    return *mutex;
}
std::shared_ptr<RunLoop>& mainLoop() {
    static auto* loop = new std::shared_ptr<RunLoop>();
    return *loop;
}
}  // namespace

std::shared_ptr<RunLoop> RunLoop::create(std::shared_ptr<Clock> clock) {
    return std::shared_ptr<RunLoop>(new RunLoop(std::move(clock)));
}

std::shared_ptr<RunLoop> RunLoop::main() {
    std::lock_guard lock(mainMutex());
    auto& loop = mainLoop();
    if (!loop) {
        loop = create(std::make_shared<RealClock>());
        main_thread_detail::noteMainLoop(loop.get(), {});
    }
    return loop;
}

void RunLoop::setMain(std::shared_ptr<RunLoop> loop) {
    std::lock_guard lock(mainMutex());
    main_thread_detail::noteMainLoop(loop.get(), loop ? loop->thread() : std::thread::id());
    mainLoop() = std::move(loop);
}

void RunLoop::setWakeHandler(std::function<void()> handler) {
    std::lock_guard lock(m_wakeMutex);
    m_wakeHandler = std::move(handler);
}

void RunLoop::callWakeHandler() {
    std::function<void()> handler;
    {
        std::lock_guard lock(m_wakeMutex);
        handler = m_wakeHandler;
    }
    if (handler) handler();
}

void RunLoop::wake() {
    {
        std::lock_guard lock(m_mutex);
        ++m_wakes;
    }
    m_wake.notify_all();
    callWakeHandler();
}

void RunLoop::post(std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(work));
    }
    m_wake.notify_all();
    callWakeHandler();
}

RunLoop::TimerId RunLoop::schedule(TimePoint when, std::function<void()> work) {
    TimerId id;
    {
        std::lock_guard lock(m_mutex);
        id = m_nextTimerId++;
        m_timers.emplace(TimerKey{when, id}, std::move(work));
        m_timerTimes.emplace(id, when);
    }
    m_wake.notify_all();
    callWakeHandler();
    return id;
}

void RunLoop::cancel(TimerId id) {
    std::function<void()> dropped;  // destroyed outside the lock: it may own a timer
    std::lock_guard lock(m_mutex);
    auto found = m_timerTimes.find(id);
    if (found == m_timerTimes.end()) return;
    auto entry = m_timers.find(TimerKey{found->second, id});
    dropped = std::move(entry->second);
    m_timers.erase(entry);
    m_timerTimes.erase(found);
}

bool RunLoop::hasPendingWork() const {
    std::lock_guard lock(m_mutex);
    return !m_posted.empty() || !m_timers.empty();
}

bool RunLoop::hasPostedWork() const {
    std::lock_guard lock(m_mutex);
    return !m_posted.empty();
}

std::optional<TimePoint> RunLoop::nextTimerTime() const {
    std::lock_guard lock(m_mutex);
    if (m_timers.empty()) return std::nullopt;
    return m_timers.begin()->first.when;
}

bool RunLoop::isCurrent() const { return m_thread.load() == std::this_thread::get_id(); }

void RunLoop::bindToCurrentThread() {
    const auto current = std::this_thread::get_id();
    if (m_thread.exchange(current) != current) main_thread_detail::noteLoopBound(this, current);
}

bool RunLoop::runPosted() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(m_mutex);
        batch.swap(m_posted);
    }
    for (auto& work : batch) {
        work();
        work = nullptr;
    }
    return !batch.empty();
}

bool RunLoop::fireOneDueTimer(TimePoint now) {
    std::function<void()> work;
    {
        std::lock_guard lock(m_mutex);
        if (m_timers.empty() || m_timers.begin()->first.when > now) return false;
        auto entry = m_timers.begin();
        work = std::move(entry->second);
        m_timerTimes.erase(entry->first.id);
        m_timers.erase(entry);
    }
    work();
    return true;
}

bool RunLoop::runUntilIdle() {
    bindToCurrentThread();
    bool ranAnything = false;
    for (;;) {
        bool ran = runPosted();
        ran = fireOneDueTimer(now()) || ran;
        if (!ran) return ranAnything;
        ranAnything = true;
    }
}

void RunLoop::advance(Duration by) {
    if (!m_clock->isManual()) base::fatal("advance() needs a run loop on a manual clock");
    auto& clock = static_cast<ManualClock&>(*m_clock);
    const TimePoint target = clock.now() + by;
    runUntilIdle();
    for (;;) {
        auto next = nextTimerTime();
        if (!next || *next > target) break;
        clock.set(*next);
        runUntilIdle();
    }
    clock.set(target);
    runUntilIdle();
}

void RunLoop::run() {
    bindToCurrentThread();
    {
        std::lock_guard lock(m_mutex);
        m_stopped = false;
    }
    for (;;) {
        runUntilIdle();
        std::unique_lock lock(m_mutex);
        if (m_stopped) return;
        if (!m_posted.empty()) continue;
        if (!m_timers.empty() && !m_clock->isManual()) {
            auto wait = m_timers.begin()->first.when - m_clock->now();
            if (wait > Duration::zero()) m_wake.wait_for(lock, wait);
        } else {
            m_wake.wait(lock);
        }
    }
}

void RunLoop::run(const std::function<void(std::optional<Duration>)>& wait) {
    bindToCurrentThread();
    {
        std::lock_guard lock(m_mutex);
        m_stopped = false;
    }
    for (;;) {
        runUntilIdle();
        std::optional<Duration> timeout;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopped) return;
            if (!m_posted.empty()) continue;
            if (!m_timers.empty() && !m_clock->isManual())
                timeout = std::max(Duration::zero(), m_timers.begin()->first.when - m_clock->now());
        }
        wait(timeout);
    }
}

void RunLoop::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
    callWakeHandler();
}

bool RunLoop::runUntil(const std::function<bool()>& condition, std::chrono::milliseconds realTimeout,
                       ConditionSource source) {
    bindToCurrentThread();
    const auto deadline = std::chrono::steady_clock::now() + realTimeout;
    for (;;) {
        runUntilIdle();
        // A wake that comes while the condition is looked at is not lost.
        const auto wakes = [this] {
            std::lock_guard lock(m_mutex);
            return m_wakes;
        }();
        if (condition()) return true;
        std::unique_lock lock(m_mutex);
        if (!m_posted.empty() || m_wakes != wakes) continue;
        // The condition was just looked at, and nothing came since.
        if (std::chrono::steady_clock::now() >= deadline) return false;
        // A timer scheduled sooner than the one waited for, from another thread, ends the wait too.
        const auto firstTimer = [this] { return m_timers.empty() ? TimePoint::max() : m_timers.begin()->first.when; };
        const TimePoint waitedTimer = firstTimer();
        m_wake.wait_until(lock, runUntilWakeTimeWithLock(deadline, source),
                          [&] { return !m_posted.empty() || m_wakes != wakes || firstTimer() != waitedTimer; });
    }
}

std::chrono::steady_clock::time_point RunLoop::runUntilWakeTimeWithLock(std::chrono::steady_clock::time_point deadline,
                                                                        ConditionSource source) const {
    // The loop's clock is read first: a timer's wake time computed from it is then never early.
    const auto clockNow = m_clock->now();
    const auto now = std::chrono::steady_clock::now();
    auto until = deadline;
    // Work done on other threads may make the condition true without posting anything: look
    // again at short intervals.
    if (source == ConditionSource::anyThread) until = std::min(until, now + std::chrono::milliseconds(5));
    // The next timer is due then (a manual clock's only when a test moves it).
    if (!m_timers.empty() && !m_clock->isManual()) {
        const auto due = std::max(Duration::zero(), m_timers.begin()->first.when - clockNow);
        if (due < until - now) until = now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(due);
    }
    return until;
}

ScopedMainRunLoop::ScopedMainRunLoop(TimePoint start)
    : m_clock(std::make_shared<ManualClock>(start)), m_loop(RunLoop::create(m_clock)) {
    m_loop->bindToCurrentThread();
    std::lock_guard lock(mainMutex());
    m_previous = std::exchange(mainLoop(), m_loop);
    main_thread_detail::noteMainLoop(m_loop.get(), m_loop->thread());
}

ScopedMainRunLoop::~ScopedMainRunLoop() {
    std::lock_guard lock(mainMutex());
    main_thread_detail::noteMainLoop(m_previous.get(), m_previous ? m_previous->thread() : std::thread::id());
    mainLoop() = std::move(m_previous);
}

}  // namespace dispatch

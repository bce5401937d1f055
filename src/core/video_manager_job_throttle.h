#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/dispatch/queue.h"

namespace reelhaven {

// Lets at most a few thumbnail and duration jobs of all managers run at once, the rest waiting
// in order. Each queued block of a concurrent queue takes a pool thread, so a first pass over a
// library of thousands of videos would otherwise start thousands of threads, each holding an
// FFmpeg decoder; the jobs are CPU-bound and gain nothing beyond one per core.
class VideoManagerJobThrottle {
public:
    // Every job holds an open file, a picture and its encoding while it runs, so the memory of a
    // pass grows with the jobs at once: past this many it would grow with the machine's cores,
    // while a job is short enough that this many already keep a pass ahead of the grid.
    static constexpr unsigned kMostJobs = 8;

    // As wide as the machine has cores, at least 2 and at most `kMostJobs`.
    static std::size_t widthFor(unsigned cores) { return std::clamp(cores, 2u, kMostJobs); }

    // The process-wide throttle, as wide as `widthFor` this machine.
    static VideoManagerJobThrottle& shared() {
        // Never destroyed: jobs may still end while the process exits.
        static auto* throttle = new VideoManagerJobThrottle(widthFor(std::thread::hardware_concurrency()));
        return *throttle;
    }

    // The throttle must outlive every job given to it.
    explicit VideoManagerJobThrottle(std::size_t width) : m_width(width == 0 ? 1 : width) {}

    // Runs `job` on `queue` now when fewer than `width` jobs run, else once one has ended.
    void submit(const std::shared_ptr<dispatch::Queue>& queue, std::function<void()> job) {
        {
            std::lock_guard lock(m_mutex);
            if (m_running >= m_width) {
                m_waiting.emplace_back(queue, std::move(job));
                return;
            }
            ++m_running;
        }
        start(queue, std::move(job));
    }

    std::size_t width() const { return m_width; }

private:
    void start(const std::shared_ptr<dispatch::Queue>& queue, std::function<void()> job) {
        queue->async([this, job = std::move(job)] {
            job();
            ended();
        });
    }

    void ended() {
        std::pair<std::shared_ptr<dispatch::Queue>, std::function<void()>> next;
        {
            std::lock_guard lock(m_mutex);
            if (m_waiting.empty()) {
                --m_running;
                return;
            }
            next = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        start(next.first, std::move(next.second));
    }

    const std::size_t m_width;
    std::mutex m_mutex;
    std::size_t m_running = 0;
    std::deque<std::pair<std::shared_ptr<dispatch::Queue>, std::function<void()>>> m_waiting;
};

}  // namespace reelhaven

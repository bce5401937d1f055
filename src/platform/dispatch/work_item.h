#pragma once

#include <atomic>
#include <functional>
#include <memory>

namespace dispatch {

// A block that can be cancelled before it runs: `Queue::async(item)` and `Queue::asyncAfter(delay,
// item)` run it unless it was cancelled by then. Cancelling does not stop a block already running.
// An empty work item does nothing when performed. Thread safe.
class WorkItem {
public:
    static std::shared_ptr<WorkItem> create(std::function<void()> work = {});

    // Runs the block unless cancelled; a work item may be performed more than once.
    void perform();
    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }

private:
    explicit WorkItem(std::function<void()> work) : m_work(std::move(work)) {}

    const std::function<void()> m_work;
    std::atomic<bool> m_cancelled{false};
};

}  // namespace dispatch

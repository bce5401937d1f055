#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/dispatch/clock.h"

namespace dispatch {

enum class QoS { background, utility, defaultQoS, userInitiated, userInteractive, unspecified };
enum class QueueKind { serial, concurrent };

// A dispatch queue. Serial queues run one block at a time in submission order; concurrent queues
// run blocks in parallel, except barrier blocks, which run alone after everything submitted
// before them and before everything submitted after them. Blocks run on a shared pool of
// threads that grows when every thread is blocked, so blocks may wait on each other. The main
// queue runs its blocks on the main run loop.
//
// Calling `sync` (or a barrier) on a queue the calling block is already running on would
// deadlock; it stops the program through base::fatal instead.
class WorkItem;

class Queue : public std::enable_shared_from_this<Queue> {
public:
    static std::shared_ptr<Queue> create(std::string label, QueueKind kind = QueueKind::serial,
                                         QoS qos = QoS::unspecified);
    // The main queue, served by the main run loop installed at the time of each call.
    static std::shared_ptr<Queue> main();
    // The process-wide concurrent queue of one quality of service.
    static std::shared_ptr<Queue> global(QoS qos = QoS::defaultQoS);

    virtual ~Queue() = default;

    const std::string& label() const { return m_label; }
    QueueKind kind() const { return m_kind; }
    QoS qos() const { return m_qos; }

    virtual void async(std::function<void()> work) = 0;
    virtual void sync(const std::function<void()>& work) = 0;
    virtual void asyncBarrier(std::function<void()> work) = 0;
    virtual void syncBarrier(const std::function<void()>& work) = 0;

    // Runs `work` on this queue once `delay` has passed on the main run loop's clock (so tests
    // move it with the manual clock; the app's main run loop must be running for it to fire).
    void asyncAfter(Duration delay, std::function<void()> work);
    void asyncAfter(double delaySeconds, std::function<void()> work) {
        asyncAfter(seconds(delaySeconds), std::move(work));
    }
    // The same for a work item, which does nothing when cancelled before its time (work_item.cpp).
    void async(const std::shared_ptr<WorkItem>& item);
    void asyncAfter(Duration delay, const std::shared_ptr<WorkItem>& item);
    void asyncAfter(double delaySeconds, const std::shared_ptr<WorkItem>& item) {
        asyncAfter(seconds(delaySeconds), item);
    }

    // `sync` that returns the block's value.
    template <typename F>
    auto syncValue(F&& work) -> std::invoke_result_t<F> {
        using R = std::invoke_result_t<F>;
        std::optional<R> result;
        sync([&] { result.emplace(work()); });
        return std::move(*result);
    }

    // Whether the calling code runs inside a block of this queue (directly or through nested
    // `sync` calls).
    virtual bool isCurrent() const;
    // The label of the innermost queue the calling code runs on, or "" outside any queue.
    static std::string currentLabel();

protected:
    Queue(std::string label, QueueKind kind, QoS qos) : m_label(std::move(label)), m_kind(kind), m_qos(qos) {}

    // Runs `work` marked as running on this queue, for `isCurrent`.
    void runMarked(const std::function<void()>& work) const;
    void checkNotCurrent(const char* what) const;

private:
    std::string m_label;
    QueueKind m_kind;
    QoS m_qos;
};

}  // namespace dispatch

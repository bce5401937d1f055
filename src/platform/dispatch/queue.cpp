#include "platform/dispatch/queue.h"

#include <array>
#include <mutex>

#include "platform/base/fatal.h"
#include "platform/dispatch/concurrent_queue.h"
#include "platform/dispatch/main_queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/serial_queue.h"

namespace dispatch {

namespace {
// The queues whose blocks the calling thread is inside, innermost first (nested `sync` calls
// run the inner block on the caller's thread).
struct Frame {
    const Queue* queue;
    const Frame* outer;
};
thread_local const Frame* tlsInnermost = nullptr;

const char* qosName(QoS qos) {
    switch (qos) {
        case QoS::background: return "background";
        case QoS::utility: return "utility";
        case QoS::defaultQoS: return "default";
        case QoS::userInitiated: return "user-initiated";
        case QoS::userInteractive: return "user-interactive";
        case QoS::unspecified: return "unspecified";
    }
    return "unspecified";
}
}  // namespace

std::shared_ptr<Queue> Queue::create(std::string label, QueueKind kind, QoS qos) {
    if (kind == QueueKind::serial) return std::make_shared<SerialQueue>(std::move(label), qos);
    return std::make_shared<ConcurrentQueue>(std::move(label), qos);
}

// The queues every thread reaches are never destroyed: a detached thread that finishes while the
// process exits may still post to one, and must not find it gone.
std::shared_ptr<Queue> Queue::main() {
    static const auto* queue = new std::shared_ptr<Queue>(std::make_shared<MainQueue>());
    return *queue;
}

std::shared_ptr<Queue> Queue::global(QoS qos) {
    static std::once_flag once;
    static auto& queues = *new std::array<std::shared_ptr<Queue>, 6>();
    std::call_once(once, [] {
        for (int i = 0; i < 6; ++i) {
            auto level = static_cast<QoS>(i);
            queues[i] = std::make_shared<ConcurrentQueue>(std::string("global.") + qosName(level), level,
                                                          ConcurrentQueue::Barriers::ignored);
        }
    });
    return queues[static_cast<int>(qos)];
}

void Queue::asyncAfter(Duration delay, std::function<void()> work) {
    auto loop = RunLoop::main();
    loop->schedule(loop->now() + delay,
                   [self = shared_from_this(), work = std::move(work)]() mutable { self->async(std::move(work)); });
}

bool Queue::isCurrent() const {
    for (auto* frame = tlsInnermost; frame; frame = frame->outer) {
        if (frame->queue == this) return true;
    }
    return false;
}

std::string Queue::currentLabel() { return tlsInnermost ? tlsInnermost->queue->label() : std::string(); }

void Queue::runMarked(const std::function<void()>& work) const {
    Frame frame{this, tlsInnermost};
    tlsInnermost = &frame;
    struct Restore {
        const Frame* outer;
        ~Restore() { tlsInnermost = outer; }
    } restore{frame.outer};
    work();
}

void Queue::checkNotCurrent(const char* what) const {
    if (isCurrent()) base::fatal(std::string(what) + " on queue \"" + label() + "\" from inside it would deadlock");
}

}  // namespace dispatch

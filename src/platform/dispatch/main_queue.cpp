#include "platform/dispatch/main_queue.h"

#include "platform/base/fatal.h"
#include "platform/dispatch/latch.h"
#include "platform/dispatch/run_loop.h"

namespace dispatch {

void MainQueue::async(std::function<void()> work) {
    RunLoop::main()->post([this, work = std::move(work)] { runMarked(work); });  // the main queue is immortal
}

void MainQueue::sync(const std::function<void()>& work) {
    auto loop = RunLoop::main();
    if (loop->isCurrent()) base::fatal("sync on the main queue from the main thread would deadlock");
    Latch latch;
    loop->post([&] {
        runMarked(work);
        latch.signal();
    });
    latch.wait();
}

bool MainQueue::isCurrent() const { return RunLoop::main()->isCurrent(); }

}  // namespace dispatch

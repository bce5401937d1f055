#include "platform/dispatch/main_thread.h"

#include <unistd.h>

#include <atomic>

namespace dispatch {

namespace {

// Mirrors of the installed main loop (compared, never dereferenced) and of the thread serving it,
// so the check needs neither the main loop's lock nor a reference count.
std::atomic<const RunLoop*> g_mainLoop{nullptr};
std::atomic<std::thread::id> g_mainThread{};

bool isFirstThread() {
    static thread_local const bool first = ::gettid() == ::getpid();
    return first;
}

}  // namespace

bool isMainThread() {
    const std::thread::id main = g_mainThread.load(std::memory_order_acquire);
    if (main == std::thread::id()) return isFirstThread();
    return main == std::this_thread::get_id();
}

namespace main_thread_detail {

void noteMainLoop(const RunLoop* loop, std::thread::id servedBy) {
    g_mainLoop.store(loop, std::memory_order_release);
    g_mainThread.store(servedBy, std::memory_order_release);
}

void noteLoopBound(const RunLoop* loop, std::thread::id thread) {
    if (g_mainLoop.load(std::memory_order_acquire) == loop) g_mainThread.store(thread, std::memory_order_release);
}

}  // namespace main_thread_detail

}  // namespace dispatch

#pragma once

#include <thread>

namespace dispatch {

class RunLoop;

// True on the main thread: the thread serving the main run loop or, while no thread has served
// it yet, the process's first thread (start-up code runs there before the loop does). Cheap
// enough to check at the top of every interface mutator: one atomic load and a thread id
// compare, no lock.
bool isMainThread();

namespace main_thread_detail {
// The run loop keeps the check current: which loop is the main one, and which thread serves it.
void noteMainLoop(const RunLoop* loop, std::thread::id servedBy);
void noteLoopBound(const RunLoop* loop, std::thread::id thread);
}  // namespace main_thread_detail

}  // namespace dispatch

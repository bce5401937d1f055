#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace reelhaven {

// What stops a running app from outside: SIGINT, SIGTERM and SIGHUP, and the standard output
// closing under it (a pipe whose reader left, as `| head` does), reported as SIGPIPE.
//
// Make it first, before the app has anything to save and before any thread starts: it blocks
// those signals in the calling thread, so every thread started later inherits the block, and a
// signal that comes while the app is still starting waits for `start` instead of ending the
// process unsaved. SIGPIPE is ignored process-wide: a write to a closed output fails instead of
// ending the process, and the watch below stops the app as a SIGTERM does.
class StopSignals {
public:
    StopSignals();
    // The signals stay blocked: one that comes while the app ends is dropped at exit.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Starts the thread that waits for them; it calls `onStop` (on that thread) with the first
    // signal's number, or SIGPIPE when `output` (a descriptor, -1 for none) closes, once. Later
    // signals are taken and dropped.
    void start(std::function<void(int)> onStop, int output);

private:
    void wait(const std::function<void(int)>& onStop, int output) const;

    sigset_t m_set;
    int m_signals = -1;  // a signalfd for m_set
    int m_wake = -1;     // an eventfd the destructor writes, so the thread stops waiting
    std::thread m_thread;
};

}  // namespace reelhaven

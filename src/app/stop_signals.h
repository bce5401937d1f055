#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace reelhaven {

// SIGINT, SIGTERM and SIGHUP are blocked in every thread started after this object and taken by one
// thread of its own, which hands them to `onSignal` (on that thread). Make it before any other
// thread starts, so no other thread can be the one a signal interrupts.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    void start(std::function<void(int)> onSignal);

private:
    sigset_t m_set;
    sigset_t m_previous;
    std::thread m_thread;
};

}  // namespace reelhaven

#include "app/stop_signals.h"

#include <pthread.h>

namespace reelhaven {

StopSignals::StopSignals() {
    sigemptyset(&m_set);
    sigaddset(&m_set, SIGINT);
    sigaddset(&m_set, SIGTERM);
    // A closed terminal or a dropped ssh session: stop as asked, saving what a stop saves.
    sigaddset(&m_set, SIGHUP);
    sigaddset(&m_set, SIGUSR1);  // our own wake-up when the command ends first
    pthread_sigmask(SIG_BLOCK, &m_set, &m_previous);
}

StopSignals::~StopSignals() {
    if (m_thread.joinable()) {
        pthread_kill(m_thread.native_handle(), SIGUSR1);
        m_thread.join();
    }
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

void StopSignals::start(std::function<void(int)> onSignal) {
    m_thread = std::thread([this, onSignal = std::move(onSignal)] {
        int signal = 0;
        if (sigwait(&m_set, &signal) == 0 && signal != SIGUSR1) onSignal(signal);
    });
}

}  // namespace reelhaven

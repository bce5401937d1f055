#include "app/stop_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "platform/base/fatal.h"

namespace reelhaven {

StopSignals::StopSignals() {
    sigemptyset(&m_set);
    sigaddset(&m_set, SIGINT);
    sigaddset(&m_set, SIGTERM);
    // A closed terminal or a dropped ssh session: stop as asked, saving what a stop saves.
    sigaddset(&m_set, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &m_set, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    m_signals = signalfd(-1, &m_set, SFD_CLOEXEC);
    m_wake = eventfd(0, EFD_CLOEXEC);
    if (m_signals < 0 || m_wake < 0) base::fatal("no descriptors left to wait for stop signals");
}

StopSignals::~StopSignals() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        while (::write(m_wake, &one, sizeof one) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    ::close(m_signals);
    ::close(m_wake);
}

void StopSignals::start(std::function<void(int)> onStop, int output) {
    // An output that is not open has nothing to close; poll would report it invalid at once.
    if (output >= 0 && ::fcntl(output, F_GETFD) < 0) output = -1;
    m_thread = std::thread([this, onStop = std::move(onStop), output] { wait(onStop, output); });
}

void StopSignals::wait(const std::function<void(int)>& onStop, int output) const {
    // No events asked of the output: poll still reports an error or a hang-up on it (a pipe with
    // no reader left, a socket shut), and nothing for a file, a terminal in use or /dev/null.
    pollfd watched[3] = {{m_wake, POLLIN, 0}, {m_signals, POLLIN, 0}, {output, 0, 0}};
    bool stopped = false;
    while (true) {
        if (::poll(watched, 3, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (watched[0].revents) return;
        int number = 0;
        if (watched[1].revents & POLLIN) {
            signalfd_siginfo info{};
            if (::read(m_signals, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
                number = static_cast<int>(info.ssi_signo);
        } else if (watched[2].revents) {
            number = SIGPIPE;
            watched[2].fd = -1;  // reported once; poll skips a negative descriptor
        }
        if (number != 0 && !std::exchange(stopped, true)) onStop(number);
    }
}

}  // namespace reelhaven

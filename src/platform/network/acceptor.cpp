#include "platform/network/acceptor.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace net {

std::unique_ptr<Acceptor> Acceptor::start(std::vector<ListeningSocket> sockets, AcceptHandler onAccept,
                                          FailureHandler onAcceptFailed) {
    std::unique_ptr<Acceptor> acceptor(
        new Acceptor(std::move(sockets), std::move(onAccept), std::move(onAcceptFailed)));
    // The thread only touches members set above; stop() joins it before they go away.
    acceptor->m_thread = std::thread([raw = acceptor.get()] { raw->run(); });
    return acceptor;
}

Acceptor::Acceptor(std::vector<ListeningSocket> sockets, AcceptHandler onAccept, FailureHandler onAcceptFailed)
    : m_sockets(std::move(sockets)),
      m_onAccept(std::move(onAccept)),
      m_onAcceptFailed(std::move(onAcceptFailed)),
      m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Acceptor::~Acceptor() { stop(); }

void Acceptor::stop(const FailureHandler& onCloseFailed) {
    if (m_thread.joinable()) {
        std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    for (std::size_t index = m_sockets.size(); index-- > 0;) {
        if (!m_sockets[index].isOpen()) continue;
        int error = m_sockets[index].close();
        if (error != 0 && onCloseFailed) onCloseFailed(index, error);
    }
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
        m_wakeFd = -1;
    }
}

void Acceptor::run() {
    std::vector<pollfd> fds;
    for (const auto& socket : m_sockets) {
        fcntl(socket.fd(), F_SETFL, fcntl(socket.fd(), F_GETFL) | O_NONBLOCK);
        fds.push_back({socket.fd(), POLLIN, 0});
    }
    fds.push_back({m_wakeFd, POLLIN, 0});
    // After running out of descriptors (or memory), listen only for the stop request for a moment,
    // so a pending connection does not make the loop spin; the pause doubles while the shortage
    // lasts, and the failure is reported once per shortage, not on every retry.
    constexpr int kFirstBackoffMs = 50;
    constexpr int kLongestBackoffMs = 1600;
    int backoffMs = -1;
    int nextBackoffMs = kFirstBackoffMs;
    bool shortage = false;
    for (;;) {
        for (auto& entry : fds) entry.revents = 0;
        int ready = backoffMs < 0 ? ::poll(fds.data(), fds.size(), -1) : ::poll(&fds.back(), 1, backoffMs);
        backoffMs = -1;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds.back().revents != 0) return;
        for (std::size_t index = 0; index + 1 < fds.size(); ++index) {
            if ((fds[index].revents & POLLIN) == 0) continue;
            // Take every pending connection before polling again, so bursts do not overflow the backlog.
            for (;;) {
                Accepted accepted{-1, {}, {}, index};
                accepted.remoteAddress.length = sizeof accepted.remoteAddress.storage;
                int fd = ::accept4(fds[index].fd, accepted.remoteAddress.get(), &accepted.remoteAddress.length,
                                   SOCK_CLOEXEC);
                if (fd < 0) {
                    int error = errno;
                    if (error == EINTR || error == ECONNABORTED) continue;
                    if (error == EAGAIN || error == EWOULDBLOCK) break;
                    bool outOfResources = error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
                    if (m_onAcceptFailed && !(outOfResources && shortage)) m_onAcceptFailed(index, error);
                    if (outOfResources) {
                        shortage = true;
                        backoffMs = nextBackoffMs;
                        nextBackoffMs = std::min(2 * nextBackoffMs, kLongestBackoffMs);
                    }
                    break;
                }
                shortage = false;
                nextBackoffMs = kFirstBackoffMs;
                accepted.fd = fd;
                accepted.localAddress = SocketAddress::ofLocalEnd(fd);
                m_onAccept(std::move(accepted));
            }
        }
    }
}

}  // namespace net

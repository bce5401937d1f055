#include "platform/network/stream_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace net {

StreamSocket::StreamSocket(int fd, std::chrono::milliseconds idleTimeout) : m_fd(fd), m_idleTimeout(idleTimeout) {
    int flags = fcntl(m_fd, F_GETFL);
    if (flags >= 0) fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
}

StreamSocket::~StreamSocket() { close(); }

bool StreamSocket::waitFor(short events, std::chrono::milliseconds timeout, IoResult& result) {
    pollfd entry{m_fd, events, 0};
    for (;;) {
        int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
        if (ready > 0) return true;
        if (ready == 0) {
            result.status = IoStatus::timedOut;
            return false;
        }
        if (errno != EINTR) {
            result.status = IoStatus::failed;
            result.errnum = errno;
            return false;
        }
    }
}

template <typename Operation>
IoResult StreamSocket::transfer(std::size_t length, short events, Progress progress, Operation operation) {
    IoResult result;
    while (result.bytes < length) {
        std::chrono::milliseconds wait = m_idleTimeout;
        if (m_deadline) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(*m_deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                result.status = IoStatus::pastDeadline;
                return result;
            }
            wait = std::min(wait, left);
        }
        ssize_t count = operation(length - result.bytes, result.bytes);
        if (count > 0) {
            result.bytes += static_cast<std::size_t>(count);
            if (progress == Progress::any) return result;
            continue;
        }
        if (count == 0) {
            result.status = IoStatus::closed;
            return result;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            result.status = IoStatus::failed;
            result.errnum = errno;
            return result;
        }
        if (!waitFor(events, wait, result)) {
            if (result.status == IoStatus::timedOut && wait < m_idleTimeout) result.status = IoStatus::pastDeadline;
            return result;
        }
    }
    return result;
}

IoResult StreamSocket::readSome(char* buffer, std::size_t capacity) {
    return transfer(capacity, POLLIN, Progress::any,
                    [&](std::size_t wanted, std::size_t) { return ::recv(m_fd, buffer, wanted, 0); });
}

IoResult StreamSocket::writeAll(const char* data, std::size_t length) {
    return transfer(length, POLLOUT, Progress::all, [&](std::size_t wanted, std::size_t done) {
        return ::send(m_fd, data + done, wanted, MSG_NOSIGNAL);
    });
}

IoResult StreamSocket::sendFile(int fileFd, off_t* offset, std::size_t length) {
    return transfer(length, POLLOUT, Progress::all,
                    [&](std::size_t wanted, std::size_t) { return ::sendfile(m_fd, fileFd, offset, wanted); });
}

void StreamSocket::shutdownWriteAndDrain(std::size_t maxBytes, std::chrono::milliseconds maxTime) {
    if (m_fd < 0) return;
    ::shutdown(m_fd, SHUT_WR);
    auto deadline = std::chrono::steady_clock::now() + maxTime;
    char buffer[16384];
    std::size_t drained = 0;
    while (drained < maxBytes) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        ssize_t count = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (count > 0) {
            drained += static_cast<std::size_t>(count);
            continue;
        }
        if (count == 0) return;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return;
        IoResult ignored;
        if (!waitFor(POLLIN, left, ignored)) return;
    }
}

int StreamSocket::close() {
    if (m_fd < 0) return 0;
    int fd = std::exchange(m_fd, -1);
    return ::close(fd) == 0 ? 0 : errno;
}

}  // namespace net

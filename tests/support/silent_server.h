#pragma once

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace testing_support {

// A loopback server of any protocol, which takes connections and never answers: a load from it
// waits until it gives up.
class SilentServer {
public:
    SilentServer() {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_socket, 8) != 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "no loopback listener";
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer() {
        if (m_socket >= 0) ::close(m_socket);
    }
    std::string url(const std::string& scheme) const {
        return scheme + "://127.0.0.1:" + std::to_string(m_port) + "/live/stream";
    }
    // Whether a caller came; its connection is closed at once, which fails its load.
    bool called() const {
        pollfd waiting{m_socket, POLLIN, 0};
        if (::poll(&waiting, 1, 0) != 1) return false;
        const int caller = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (caller >= 0) ::close(caller);
        return caller >= 0;
    }

private:
    int m_socket = -1;
    int m_port = 0;
};

}  // namespace testing_support

#include "platform/network/listening_socket.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/network/socket_address.h"

namespace net {

ListeningSocket ListeningSocket::open(int family, std::uint16_t port, BindScope scope, int backlog) {
    ListeningSocket result;
    result.m_family = family;
    int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        result.m_error = ListenError{ListenStage::create, errno};
        return result;
    }
    int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    SocketAddress address;
    if (family == AF_INET6) {
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &yes, sizeof yes);
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&address.storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        in6->sin6_addr = scope == BindScope::loopback ? in6addr_loopback : in6addr_any;
        address.length = sizeof(sockaddr_in6);
    } else {
        auto* in4 = reinterpret_cast<sockaddr_in*>(&address.storage);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        in4->sin_addr.s_addr = htonl(scope == BindScope::loopback ? INADDR_LOOPBACK : INADDR_ANY);
        address.length = sizeof(sockaddr_in);
    }
    if (::bind(fd, address.get(), address.length) != 0) {
        result.m_error = ListenError{ListenStage::bind, errno};
        ::close(fd);
        return result;
    }
    if (::listen(fd, backlog) != 0) {
        result.m_error = ListenError{ListenStage::listen, errno};
        ::close(fd);
        return result;
    }
    result.m_fd = fd;
    return result;
}

ListeningSocket::ListeningSocket(ListeningSocket&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_family(other.m_family), m_error(other.m_error) {}

ListeningSocket& ListeningSocket::operator=(ListeningSocket&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_family = other.m_family;
        m_error = other.m_error;
    }
    return *this;
}

ListeningSocket::~ListeningSocket() { close(); }

std::optional<std::uint16_t> ListeningSocket::boundPort() const {
    SocketAddress address = SocketAddress::ofLocalEnd(m_fd);
    if (address.isEmpty()) return std::nullopt;
    return static_cast<std::uint16_t>(address.port());
}

int ListeningSocket::close() {
    if (m_fd < 0) return 0;
    int fd = std::exchange(m_fd, -1);
    return ::close(fd) == 0 ? 0 : errno;
}

}  // namespace net

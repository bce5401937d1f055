#pragma once

#include <sys/socket.h>

#include <string>

namespace net {

// A raw socket address as the kernel gives it (IPv4 or IPv6).
struct SocketAddress {
    sockaddr_storage storage{};
    socklen_t length = 0;

    bool isEmpty() const { return length == 0; }
    int family() const { return length == 0 ? AF_UNSPEC : storage.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
    sockaddr* get() { return reinterpret_cast<sockaddr*>(&storage); }

    // The numeric host, with ":" and the numeric port when `includePort` is set; "" when the
    // address cannot be converted. No name look-up ever happens.
    std::string toString(bool includePort) const;
    int port() const;

    static SocketAddress ofLocalEnd(int fd);
    static SocketAddress ofPeer(int fd);
};

}  // namespace net

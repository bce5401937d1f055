#include "platform/network/socket_address.h"

#include <netdb.h>
#include <netinet/in.h>

#include <cstring>

namespace net {

std::string SocketAddress::toString(bool includePort) const {
    if (length == 0) return "";
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(get(), length, host, sizeof host, service, sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return "";
    }
    return includePort ? std::string(host) + ":" + service : std::string(host);
}

int SocketAddress::port() const {
    if (family() == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(&storage)->sin_port);
    if (family() == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_port);
    return 0;
}

SocketAddress SocketAddress::ofLocalEnd(int fd) {
    SocketAddress address;
    address.length = sizeof address.storage;
    if (getsockname(fd, address.get(), &address.length) != 0) address.length = 0;
    return address;
}

SocketAddress SocketAddress::ofPeer(int fd) {
    SocketAddress address;
    address.length = sizeof address.storage;
    if (getpeername(fd, address.get(), &address.length) != 0) address.length = 0;
    return address;
}

}  // namespace net

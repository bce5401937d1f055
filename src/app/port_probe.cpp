#include "app/port_probe.h"

#include <netinet/in.h>

#include <cstring>

#include "platform/network/listening_socket.h"

namespace reelhaven {

std::optional<std::string> portUnavailableReason(std::uint16_t port) {
    // The server's own kind of socket, so the answer is the one its start would get.
    auto probe = net::ListeningSocket::open(AF_INET, port, net::BindScope::anyAddress, 1);
    if (probe.isOpen()) return std::nullopt;
    return std::string(std::strerror(probe.error() ? probe.error()->errnum : 0));
}

}  // namespace reelhaven

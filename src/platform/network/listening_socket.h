#pragma once

#include <cstdint>
#include <optional>

namespace net {

enum class ListenStage { create, bind, listen };

// Why a listening socket could not be opened: the step that failed and its errno.
struct ListenError {
    ListenStage stage;
    int errnum;
};

enum class BindScope { anyAddress, loopback };

// A TCP listening socket with SO_REUSEADDR, bound to `port` (0: the system picks) on the any or
// loopback address of `family` (AF_INET or AF_INET6; IPv6 sockets are IPv6-only so both families
// can share a port). Owns its descriptor.
class ListeningSocket {
public:
    static ListeningSocket open(int family, std::uint16_t port, BindScope scope, int backlog);

    ListeningSocket() = default;
    ListeningSocket(ListeningSocket&& other) noexcept;
    ListeningSocket& operator=(ListeningSocket&& other) noexcept;
    ~ListeningSocket();

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    int family() const { return m_family; }
    const std::optional<ListenError>& error() const { return m_error; }
    // The port actually bound, or nothing when it cannot be read.
    std::optional<std::uint16_t> boundPort() const;
    // Closes now; returns 0 or the errno of close(2).
    int close();

private:
    int m_fd = -1;
    int m_family = 0;
    std::optional<ListenError> m_error;
};

}  // namespace net

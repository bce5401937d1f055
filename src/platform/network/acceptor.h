#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/network/listening_socket.h"
#include "platform/network/socket_address.h"

namespace net {

// Accepts connections on a set of listening sockets from one thread of its own, until stopped.
// The accept handler receives each new socket (owning it) on that thread and must not block.
class Acceptor {
public:
    struct Accepted {
        int fd;
        SocketAddress localAddress;  // empty when it could not be read
        SocketAddress remoteAddress;
        std::size_t listenerIndex;
    };
    using AcceptHandler = std::function<void(Accepted accepted)>;
    using FailureHandler = std::function<void(std::size_t listenerIndex, int errnum)>;

    static std::unique_ptr<Acceptor> start(std::vector<ListeningSocket> sockets, AcceptHandler onAccept,
                                           FailureHandler onAcceptFailed);
    ~Acceptor();
    Acceptor(const Acceptor&) = delete;
    Acceptor& operator=(const Acceptor&) = delete;

    // Stops accepting, joins the thread and closes the listening sockets in reverse order,
    // reporting each close failure. Connections already accepted are not affected.
    void stop(const FailureHandler& onCloseFailed = {});

private:
    Acceptor(std::vector<ListeningSocket> sockets, AcceptHandler onAccept, FailureHandler onAcceptFailed);
    void run();

    std::vector<ListeningSocket> m_sockets;
    AcceptHandler m_onAccept;
    FailureHandler m_onAcceptFailed;
    int m_wakeFd = -1;
    std::thread m_thread;
};

}  // namespace net

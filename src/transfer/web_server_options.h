#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/network/socket_address.h"

namespace reelhaven {

class WebServer;
class WebServerConnection;

using WebServerConnectionFactory = std::function<std::shared_ptr<WebServerConnection>(
    std::shared_ptr<WebServer> server, net::SocketAddress localAddress, net::SocketAddress remoteAddress, int socket)>;

enum class WebServerAuthenticationMethod { none, basic, digestAccess };

// What `startWithOptions` is given; an absent value takes its default.
struct WebServerOptions {
    std::uint16_t port = 0;        // 0: the system picks (IPv6 then binds the same port)
    bool bindToLocalhost = false;  // loopback addresses only
    // Listen backlog. Every request opens a connection, so 64 busy clients overflowed a backlog of 16
    // (dropped handshakes, one-second retransmits); 128 absorbs such bursts.
    int maxPendingConnections = 128;
    std::optional<std::string> serverName;  // default: the server's class name
    WebServerAuthenticationMethod authenticationMethod = WebServerAuthenticationMethod::none;
    std::optional<std::string> authenticationRealm;             // default: the server name
    std::map<std::string, std::string> authenticationAccounts;  // user name to password
    WebServerConnectionFactory connectionFactory;               // default: WebServerConnection
    bool automaticallyMapHEADToGET = true;
    double connectedStateCoalescingInterval = 1.0;  // seconds
    std::optional<std::string> bonjourName;         // absent: no Bonjour; "": the server name
    std::string bonjourType = "_http._tcp";
    bool requestNATPortMapping = false;
    bool automaticallySuspendInBackground = true;
    // A connection whose peer makes no progress for this long is closed.
    std::chrono::milliseconds connectionIdleTimeout = std::chrono::seconds(60);
    // After answering without reading the whole request body: how long, and how much, to read and
    // discard so the client receives the answer instead of a reset.
    std::chrono::milliseconds drainTimeout = std::chrono::seconds(2);
    std::size_t drainLimit = 4 * 1024 * 1024;
};

}  // namespace reelhaven

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    // The idle time-out alone let a client sending a byte every 20 s keep a connection for ever;
    // with 1,100 of them the server ran out of descriptors and served no one. So the request head
    // must arrive whole within this time however it trickles in ...
    std::chrono::milliseconds requestHeadTimeout = std::chrono::seconds(30);
    // ... and, after a grace period, a request body must keep up this average rate (a slow but
    // real upload of 50 KB/s passes with room to spare).
    std::chrono::milliseconds bodyGracePeriod = std::chrono::seconds(10);
    std::size_t minimumBodyBytesPerSecond = 1024;
    // Connections kept at once from one client address, and in all (0: what the process's
    // descriptor limit leaves room for). Above either the server answers 503 and closes.
    std::size_t maxConnectionsPerClient = 16;
    std::size_t maxConnections = 0;
    // Host names, besides this machine's own, that requests may name in "Host". Any other name is
    // refused (403): a page of another site that rebinds its name to this machine's address must
    // not reach the library through the visitor's browser.
    std::vector<std::string> allowedHostNames;
    // After answering without reading the whole request body: how long, and how much, to read and
    // discard so the client receives the answer instead of a reset.
    std::chrono::milliseconds drainTimeout = std::chrono::seconds(2);
    std::size_t drainLimit = 4 * 1024 * 1024;
    // How long `stop` lets open connections finish (a request still arriving is answered 503)
    // before it cuts them off.
    std::chrono::milliseconds stopGracePeriod = std::chrono::seconds(2);
};

}  // namespace reelhaven

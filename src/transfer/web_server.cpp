#include "transfer/web_server.h"

#include <signal.h>

#include <atomic>
#include <cstring>

#include "platform/dispatch/worker_pool.h"
#include "platform/foundation/base64.h"
#include "platform/network/acceptor.h"
#include "platform/network/bonjour_service.h"
#include "platform/network/nat_port_mapping.h"
#include "transfer/web_server_connection.h"
#include "transfer/web_server_connection_limits.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"
#include "transfer/web_server_temporary_file.h"

namespace reelhaven {

namespace {

using base::LogLevel;

std::string familyName(int family) { return family == AF_INET6 ? "IPv6" : "IPv4"; }

// IPv6 is missing from this machine (no stack, or no loopback address) rather than failing.
bool isIPv6Unavailable(const net::ListenError& error) {
    return error.errnum == EAFNOSUPPORT || error.errnum == EPROTONOSUPPORT || error.errnum == EADDRNOTAVAIL;
}

}  // namespace

struct WebServer::Bonjour {
    std::unique_ptr<net::BonjourService> service;
};

WebServer::WebServer(std::string className)
    : m_className(std::move(className)), m_syncQueue(dispatch::Queue::create(m_className)) {}

WebServer::~WebServer() {
    // Connections hold the server strongly, so none is alive here; only the sockets remain.
    if (m_acceptor) m_acceptor->stop();
}

void WebServer::setDelegate(std::weak_ptr<WebServerDelegate> delegate) {
    std::lock_guard lock(m_mutex);
    m_delegate = std::move(delegate);
}

std::shared_ptr<WebServerDelegate> WebServer::delegate() const {
    std::lock_guard lock(m_mutex);
    return m_delegate.lock();
}

template <typename Call>
void WebServer::notifyDelegate(Call call) {
    dispatch::Queue::main()->async([weak = weak_from_this(), call] {
        auto self = weak.lock();
        if (!self) return;
        if (auto delegate = self->delegate()) call(*delegate, *self);
    });
}

void WebServer::setLogLevel(base::LogLevel level) { WebServerSetLogLevel(level); }

bool WebServer::isRunning() const {
    std::lock_guard lock(m_mutex);
    return m_running.has_value();
}

std::uint16_t WebServer::port() const {
    std::lock_guard lock(m_mutex);
    return m_port;
}

std::string WebServer::serverName() const {
    std::lock_guard lock(m_mutex);
    return m_serverName;
}

WebServerOptions WebServer::currentOptions() const {
    std::lock_guard lock(m_mutex);
    return m_options;
}

std::vector<std::string> WebServer::allowedHostNames() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> names = m_options.allowedHostNames;
    if (m_resolvedHost) names.push_back(*m_resolvedHost);
    return names;
}

bool WebServer::shouldAutomaticallyMapHEADToGET() const {
    std::lock_guard lock(m_mutex);
    return m_options.automaticallyMapHEADToGET;
}

WebServerAuthenticationMethod WebServer::authenticationMethod() const {
    std::lock_guard lock(m_mutex);
    return m_acceptor ? m_options.authenticationMethod : WebServerAuthenticationMethod::none;
}

std::string WebServer::authenticationRealm() const {
    std::lock_guard lock(m_mutex);
    return m_authenticationRealm;
}

std::map<std::string, std::string> WebServer::authenticationAccounts() const {
    std::lock_guard lock(m_mutex);
    return m_authenticationAccounts;
}

namespace {
std::optional<std::string> urlFor(const std::optional<std::string>& host, std::uint16_t port) {
    if (!host) return std::nullopt;
    std::string name = host->find(':') != std::string::npos ? "[" + *host + "]" : *host;
    if (port == 80) return "http://" + name + "/";
    return "http://" + name + ":" + std::to_string(port) + "/";
}
}  // namespace

std::optional<std::string> WebServer::serverURL() const {
    std::lock_guard lock(m_mutex);
    if (!m_acceptor) return std::nullopt;
    return urlFor(m_options.bindToLocalhost ? std::optional<std::string>("localhost") : WebServerPrimaryAddress(false),
                  m_port);
}

std::optional<std::string> WebServer::bonjourServerURL() const {
    std::lock_guard lock(m_mutex);
    if (!m_resolvedHost) return std::nullopt;
    std::string host = *m_resolvedHost;
    if (host.ends_with('.')) host.pop_back();
    return urlFor(host, m_port);
}

std::optional<std::string> WebServer::publicServerURL() const { return std::nullopt; }

std::optional<std::string> WebServer::bonjourName() const {
    std::lock_guard lock(m_mutex);
    if (!m_bonjour || !m_bonjour->service || m_bonjour->service->name().empty()) return std::nullopt;
    return m_bonjour->service->name();
}

std::optional<std::string> WebServer::bonjourType() const {
    std::lock_guard lock(m_mutex);
    if (!m_bonjour || !m_bonjour->service || m_bonjour->service->type().empty()) return std::nullopt;
    return m_bonjour->service->type();
}

void WebServer::addHandler(WebServerMatchBlock matchBlock, WebServerAsyncProcessBlock processBlock) {
    auto handler =
        std::make_shared<const WebServerHandler>(WebServerHandler{std::move(matchBlock), std::move(processBlock)});
    std::lock_guard lock(m_mutex);
    m_handlers.insert(m_handlers.begin(), std::move(handler));
}

void WebServer::addHandlerWithProcessBlock(WebServerMatchBlock matchBlock, WebServerProcessBlock processBlock) {
    addHandler(std::move(matchBlock), [processBlock = std::move(processBlock)](
                                          const std::shared_ptr<WebServerRequest>& request,
                                          WebServerCompletionBlock completion) { completion(processBlock(request)); });
}

void WebServer::removeAllHandlers() {
    std::lock_guard lock(m_mutex);
    m_handlers.clear();
}

std::vector<std::shared_ptr<const WebServerHandler>> WebServer::handlers() const {
    std::lock_guard lock(m_mutex);
    return m_handlers;
}

bool WebServer::startWithPort(std::uint16_t port, std::optional<std::string> bonjourName) {
    auto options = std::make_unique<WebServerOptions>();
    options->port = port;
    if (bonjourName) options->bonjourName.emplace(std::move(*bonjourName));
    return startWithOptions(*options);
}

void WebServer::setPortOverride(std::optional<std::uint16_t> port) {
    std::lock_guard lock(m_mutex);
    m_portOverride = port;
}

bool WebServer::startWithOptions(const WebServerOptions& options, foundation::Error* error) {
    {
        std::lock_guard lock(m_mutex);
        if (m_running) return false;
        m_running = options;
        if (m_portOverride) m_running->port = *m_portOverride;
    }
    {
        std::lock_guard lock(m_threads->mutex);
        m_threads->ending = ConnectionThreads::Ending::none;
    }
    // Uploads a killed process left half-written would otherwise stay for ever. Swept once the
    // server is sure to run: a start refused its port (port 80, before a free one is tried) pays
    // for no walk of the folder.
    const auto sweep = [this] {
        if (std::size_t removed = removeStaleFiles(); removed > 0) {
            WebServerLog(LogLevel::info, [&] {
                return "Removed " + std::to_string(removed) + " temporary files of unfinished uploads";
            });
        }
    };
    if (options.automaticallySuspendInBackground && isInBackground()) {
        sweep();
        return true;  // opens in the foreground
    }
    if (!openSockets(error)) {
        std::lock_guard lock(m_mutex);
        m_running.reset();
        return false;
    }
    sweep();
    return true;
}

std::size_t WebServer::removeStaleFiles() { return WebServerTemporaryFile::removeStale(); }

void WebServer::stop() {
    bool open;
    {
        std::lock_guard lock(m_mutex);
        if (!m_running) return;
        open = m_acceptor != nullptr;
    }
    if (open) closeSockets();
    interruptConnections();
    joinConnections();
    std::lock_guard lock(m_mutex);
    m_running.reset();
}

void WebServer::trackConnection(WebServerConnection* connection) {
    std::lock_guard lock(m_threads->mutex);
    m_threads->connections.insert(connection);
    // Accepted just before the sockets closed: it must not miss the stop.
    if (m_threads->ending == ConnectionThreads::Ending::interrupt) connection->interrupt();
    if (m_threads->ending == ConnectionThreads::Ending::abort) connection->abort();
}

void WebServer::untrackConnection(WebServerConnection* connection) {
    std::lock_guard lock(m_threads->mutex);
    m_threads->connections.erase(connection);
}

bool WebServer::releaseAbandonedConnections(const std::string& client) {
    // Under the lock: a tracked connection has not closed its socket yet.
    std::lock_guard lock(m_threads->mutex);
    bool released = false;
    for (auto* connection : m_threads->connections) {
        if (connection->remoteAddress().toString(false) != client) continue;
        released = connection->leaveShareIfAbandoned() || released;
    }
    return released;
}

void WebServer::interruptConnections() {
    // Under the lock: a tracked connection has not closed its socket yet.
    std::lock_guard lock(m_threads->mutex);
    m_threads->ending = ConnectionThreads::Ending::interrupt;
    for (auto* connection : m_threads->connections) connection->interrupt();
}

void WebServer::abortConnections() {
    std::lock_guard lock(m_threads->mutex);
    m_threads->ending = ConnectionThreads::Ending::abort;
    for (auto* connection : m_threads->connections) connection->abort();
}

void WebServer::joinConnections() {
    // A connection thread left running would call into the server, its queues and its delegate
    // after the caller has let them go, even while the process exits.
    constexpr auto kAfterAbort = std::chrono::seconds(10);
    if (waitForConnectionsToEnd(currentOptions().stopGracePeriod)) return;
    WebServerLog(LogLevel::warning, [] { return std::string("Cutting off connections still open at stop"); });
    abortConnections();
    if (!waitForConnectionsToEnd(kAfterAbort)) {
        WebServerLog(LogLevel::error, [] { return std::string("Connections still running after stop"); });
    }
}

bool WebServer::openSockets(foundation::Error* error) {
    std::unique_lock runningLock(m_mutex);
    const WebServerOptions options = *m_running;
    runningLock.unlock();
    auto scope = options.bindToLocalhost ? net::BindScope::loopback : net::BindScope::anyAddress;
    auto logFailure = [&](const net::ListeningSocket& socket) {
        const net::ListenError& failure = *socket.error();
        const char* what = failure.stage == net::ListenStage::create ? "creating"
                           : failure.stage == net::ListenStage::bind ? "binding"
                                                                     : "starting";
        WebServerLog(LogLevel::error, [&] {
            return std::string("Failed ") + what + " " + familyName(socket.family()) +
                   " listening socket: " + std::strerror(failure.errnum) + " (" + std::to_string(failure.errnum) + ")";
        });
        if (error)
            *error = foundation::Error{std::string(foundation::kPOSIXErrorDomain), failure.errnum,
                                       std::strerror(failure.errnum)};
    };

    std::vector<net::ListeningSocket> sockets;
    auto ipv4 = net::ListeningSocket::open(AF_INET, options.port, scope, options.maxPendingConnections);
    if (!ipv4.isOpen()) {
        logFailure(ipv4);
        return false;
    }
    std::uint16_t port = options.port;
    if (port == 0) {
        auto bound = ipv4.boundPort();
        if (!bound) {
            WebServerLog(LogLevel::error,
                         [&] { return "Failed retrieving socket address: " + WebServerErrnoText(errno); });
        }
        port = bound.value_or(0);
    }
    sockets.push_back(std::move(ipv4));
    auto ipv6 = net::ListeningSocket::open(AF_INET6, port, scope, options.maxPendingConnections);
    if (ipv6.isOpen()) {
        sockets.push_back(std::move(ipv6));
    } else if (isIPv6Unavailable(*ipv6.error())) {
        WebServerLog(LogLevel::warning, [&] {
            return "IPv6 is unavailable (" + WebServerErrnoText(ipv6.error()->errnum) + "): serving on IPv4 only";
        });
    } else {
        logFailure(ipv6);
        return false;  // the IPv4 socket closes with `sockets`
    }

    std::string serverName = options.serverName.value_or(m_className);
    std::string realm = options.authenticationRealm.value_or(serverName);
    std::map<std::string, std::string> accounts;
    for (const auto& [user, password] : options.authenticationAccounts) {
        if (options.authenticationMethod == WebServerAuthenticationMethod::basic) {
            accounts[user] = foundation::Base64::encode(user + ":" + password);
        } else if (options.authenticationMethod == WebServerAuthenticationMethod::digestAccess) {
            accounts[user] = WebServerMD5Hex(user + ":" + realm + ":" + password);
        }
    }

    std::vector<int> families;
    for (const auto& socket : sockets) families.push_back(socket.family());
    auto onAccept = [weak = weak_from_this()](net::Acceptor::Accepted accepted) {
        auto self = weak.lock();
        if (!self) {
            ::close(accepted.fd);
            return;
        }
        self->accept(accepted.fd, accepted.localAddress, accepted.remoteAddress);
    };
    auto onAcceptFailed = [families](std::size_t index, int errnum) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed accepting " + familyName(families[index]) + " socket: " + WebServerErrnoText(errnum);
        });
    };
    WebServerConnectionLimits::raiseDescriptorLimit();
    auto limits = std::make_shared<WebServerConnectionLimits>(
        options.maxConnectionsPerClient,
        options.maxConnections != 0 ? options.maxConnections : WebServerConnectionLimits::totalForDescriptorLimit());
    {
        std::lock_guard lock(m_mutex);
        m_limits = std::move(limits);
    }
    auto acceptor = net::Acceptor::start(std::move(sockets), onAccept, onAcceptFailed);
    {
        std::lock_guard lock(m_mutex);
        m_options = options;
        m_acceptor = std::move(acceptor);
        m_port = port;
        m_serverName = serverName;
        m_authenticationRealm = options.authenticationMethod == WebServerAuthenticationMethod::none ? "" : realm;
        m_authenticationAccounts = std::move(accounts);
    }
    if (options.bonjourName) startBonjour(options.bonjourName->empty() ? serverName : *options.bonjourName);
    if (options.requestNATPortMapping) startNATPortMapping();

    WebServerLog(LogLevel::info, [&] {
        return m_className + " started on port " + std::to_string(port) + " and reachable at " +
               serverURL().value_or("(null)");
    });
    notifyDelegate([](WebServerDelegate& delegate, WebServer& server) { delegate.webServerDidStart(server); });
    return true;
}

void WebServer::startBonjour(const std::string& name) {
    std::weak_ptr<WebServer> weak = weak_from_this();
    auto onMain = [weak](auto work) {
        dispatch::Queue::main()->async([weak, work] {
            if (auto self = weak.lock()) work(*self);
        });
    };
    net::BonjourService::Callbacks callbacks;
    callbacks.registrationFailed = [onMain](int code) {
        onMain([code](WebServer&) {
            WebServerLog(LogLevel::error, [&] {
                return "Bonjour registration error " + std::to_string(code) + " (domain " +
                       std::to_string(net::kBonjourAvahiErrorDomain) + ")";
            });
        });
    };
    callbacks.registered = [onMain](const std::string&) {
        onMain([](WebServer& self) {
            WebServerLog(LogLevel::verbose, [&] { return "Bonjour registration complete for " + self.m_className; });
        });
    };
    callbacks.resolved = [onMain](const std::string& host) {
        onMain([host](WebServer& self) {
            {
                std::lock_guard lock(self.m_mutex);
                if (!self.m_bonjour) return;  // stopped meanwhile
                self.m_resolvedHost = host;
            }
            WebServerLog(LogLevel::info, [&] {
                return self.m_className + " now locally reachable at " + self.bonjourServerURL().value_or("(null)");
            });
            if (auto delegate = self.delegate()) delegate->webServerDidCompleteBonjourRegistration(self);
        });
    };
    callbacks.resolutionFailed = [onMain](int code) {
        if (code == net::bonjourTimeoutError()) return;
        onMain([code](WebServer&) {
            WebServerLog(LogLevel::error, [&] {
                return "Bonjour resolution error " + std::to_string(code) + " (domain " +
                       std::to_string(net::kBonjourAvahiErrorDomain) + ")";
            });
        });
    };
    int code = 0;
    auto service = net::BonjourService::create(name, m_options.bonjourType, port(), std::move(callbacks), &code);
    if (!service) {
        // No daemon (or no memory): the server keeps serving without the announcement. A machine
        // without the daemon is told once, as a note: the address printed works all the same.
        if (code == net::bonjourNoDaemonError()) {
            bool noted;
            {
                std::lock_guard lock(m_mutex);
                noted = std::exchange(m_notedNoBonjourDaemon, true);
            }
            if (noted) return;
            WebServerLog(LogLevel::info, [] {
                return std::string(
                    "Bonjour is not available (no Avahi daemon runs here); the server is reached by "
                    "its address");
            });
            return;
        }
        WebServerLog(LogLevel::error, [&] {
            return "Bonjour registration error " + std::to_string(code) + " (domain " +
                   std::to_string(net::kBonjourAvahiErrorDomain) + ")";
        });
        WebServerLog(LogLevel::debug, [&] { return "Bonjour: " + net::BonjourService::errorText(code); });
        return;
    }
    std::lock_guard lock(m_mutex);
    m_bonjour = std::make_unique<Bonjour>();
    m_bonjour->service = std::move(service);
}

void WebServer::startNATPortMapping() {
    auto result = net::requestNatPortMapping(port());
    if (result.error != 0) {
        WebServerLog(LogLevel::error,
                     [&] { return "Failed creating NAT port mapping (" + std::to_string(result.error) + ")"; });
    }
}

void WebServer::closeSockets() {
    std::unique_ptr<Bonjour> bonjour;
    std::unique_ptr<net::Acceptor> acceptor;
    {
        std::lock_guard lock(m_mutex);
        bonjour = std::move(m_bonjour);
        acceptor = std::move(m_acceptor);
        m_resolvedHost.reset();
    }
    bonjour.reset();  // stops its thread: no callback runs after this
    std::vector<int> families = {AF_INET, AF_INET6};
    acceptor->stop([&](std::size_t index, int errnum) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed closing " + familyName(families[index % 2]) +
                   " listening socket: " + WebServerErrnoText(errnum);
        });
    });
    {
        std::lock_guard lock(m_mutex);
        m_port = 0;
        m_serverName.clear();
        m_authenticationRealm.clear();
        m_authenticationAccounts.clear();
    }
    dispatch::Queue::main()->async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self || !self->m_disconnectTimer) return;
        self->m_disconnectTimer->invalidate();
        self->m_disconnectTimer.reset();
        self->didDisconnect();
    });
    WebServerLog(LogLevel::info, [&] { return m_className + " stopped"; });
    notifyDelegate([](WebServerDelegate& delegate, WebServer& server) { delegate.webServerDidStop(server); });
}

namespace {

// Answers a connection above the limits without giving it a thread: what the client already sent
// is read first, so closing does not reset the connection before the answer arrives.
void refuseBusy(int fd) {
    char discard[4096];
    while (::recv(fd, discard, sizeof discard, MSG_DONTWAIT) > 0) {
    }
    static constexpr std::string_view kBusy =
        "HTTP/1.1 503 Service Unavailable\r\nConnection: Close\r\nContent-Length: 0\r\nRetry-After: 1\r\n\r\n";
    [[maybe_unused]] auto sent = ::send(fd, kBusy.data(), kBusy.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}

}  // namespace

void WebServer::accept(int fd, net::SocketAddress local, net::SocketAddress remote) {
    WebServerConnectionFactory factory;
    std::shared_ptr<WebServerConnectionLimits> limits;
    {
        std::lock_guard lock(m_mutex);
        factory = m_options.connectionFactory;
        limits = m_limits;
    }
    std::string client = remote.toString(false);
    auto admission = limits->admit(client);
    if (admission == WebServerConnectionLimits::Admission::clientFull && releaseAbandonedConnections(client)) {
        admission = limits->admit(client);
    }
    if (admission != WebServerConnectionLimits::Admission::admitted) {
        WebServerLog(LogLevel::verbose, [&] {
            return "Refusing connection from " + client +
                   (admission == WebServerConnectionLimits::Admission::clientFull ? ": too many from this client"
                                                                                  : ": too many connections");
        });
        refuseBusy(fd);
        return;
    }
    {
        std::lock_guard lock(m_threads->mutex);
        ++m_threads->live;
    }
    // Set on the connection's thread when its answer starts; read there when it ends.
    auto answering = std::make_shared<std::atomic<bool>>(false);
    // Holds only what outlives the server: it runs after the thread has let the server go.
    auto end = [threads = m_threads, limits, client, answering] {
        limits->release(client, *answering);
        std::lock_guard lock(threads->mutex);
        --threads->live;
        threads->done.notify_all();
    };
    // Detached from its creation: a connection may end before the acceptor would get to detach it.
    bool started = dispatch::startDetachedThread(
        [self = shared_from_this(), fd, local, remote, factory, end, limits, client, answering]() mutable {
            // Writes to a closed peer fail with EPIPE on this thread instead of a signal.
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
            {
                auto connection = factory ? factory(self, local, remote, fd)
                                          : std::make_shared<WebServerConnection>(self, local, remote, fd);
                if (connection) {
                    connection->willLeaveShare = [limits, client, answering] {
                        *answering = true;
                        limits->answering(client);
                    };
                    connection->run();
                }
            }
            // Before the end is signalled: once `stop` returns, no thread holds the server.
            self.reset();
            end();
        });
    if (!started) {
        ::close(fd);
        WebServerLog(LogLevel::error, [] { return std::string("Failed starting connection: no thread"); });
        end();
    }
}

}  // namespace reelhaven

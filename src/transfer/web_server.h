#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/base/log.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/timer.h"
#include "platform/foundation/error.h"
#include "transfer/web_server_delegate.h"
#include "transfer/web_server_handler.h"
#include "transfer/web_server_options.h"

namespace net {
class Acceptor;
class BonjourService;
}  // namespace net

namespace reelhaven {

class WebServerConnectionLimits;

enum class WebServerRanges { notAllowed, allowed };

// The embedded HTTP/1.1 server: listening sockets on IPv4 and IPv6, the ordered handler list
// (newest first), start and stop, suspension while the application is in the background, the
// delegate's coalesced connected state, and the Bonjour announcement.
//
// Each accepted socket is served by one WebServerConnection on a thread of its own, so slow
// clients do not hold up the others; the connection limits of the options (per client address
// and in all) keep one client from taking every thread and descriptor, and a connection above
// them is answered 503 at once. Delegate calls arrive on the main queue; start, stop and the
// background notifications are called from the main thread.
class WebServer : public std::enable_shared_from_this<WebServer> {
public:
    static std::shared_ptr<WebServer> create() { return std::shared_ptr<WebServer>(new WebServer("WebServer")); }
    virtual ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // The name of the server's class ("WebServer", "WebUploader"): the default server name, the
    // label of its queue and the name in its log lines.
    const std::string& className() const { return m_className; }

    void setDelegate(std::weak_ptr<WebServerDelegate> delegate);
    std::shared_ptr<WebServerDelegate> delegate() const;

    // Opens the sockets and starts serving; false when already running or a socket fails (then
    // `error` receives the POSIX error).
    bool startWithOptions(const WebServerOptions& options, foundation::Error* error = nullptr);
    bool startWithPort(std::uint16_t port, std::optional<std::string> bonjourName);
    bool start() { return startWithPort(80, std::string()); }
    // The port every start listens on instead of the one asked for, when set: what the host stands
    // in for when a screen asks for port 80 on a machine where the user chose another port.
    void setPortOverride(std::optional<std::uint16_t> port);
    // Closes the sockets and ends every connection: when it returns no connection thread runs and
    // none holds the server, so what the server calls may go away. A request still arriving gets
    // a short grace to be answered 503; a connection that outlasts it is cut off.
    void stop();
    bool isRunning() const;

    std::uint16_t port() const;
    std::string serverName() const;
    std::optional<std::string> serverURL() const;
    std::optional<std::string> bonjourServerURL() const;
    std::optional<std::string> publicServerURL() const;
    std::optional<std::string> bonjourName() const;
    std::optional<std::string> bonjourType() const;
    bool shouldAutomaticallyMapHEADToGET() const;
    WebServerAuthenticationMethod authenticationMethod() const;
    std::string authenticationRealm() const;
    // User name to stored credential (Base64 of "user:password" for Basic, MD5 hex of
    // "user:realm:password" for Digest).
    std::map<std::string, std::string> authenticationAccounts() const;

    // Handlers, tried newest first. Add them before starting.
    void addHandler(WebServerMatchBlock matchBlock, WebServerAsyncProcessBlock processBlock);
    void addHandlerWithProcessBlock(WebServerMatchBlock matchBlock, WebServerProcessBlock processBlock);
    void removeAllHandlers();
    std::vector<std::shared_ptr<const WebServerHandler>> handlers() const;

    // Handler builders (web_server_handler_builders.cpp).
    using RequestFactory = std::function<std::shared_ptr<WebServerRequest>(const WebServerRequestInfo& info)>;
    template <std::derived_from<WebServerRequest> T>
    static RequestFactory requestFactory() {
        return [](const WebServerRequestInfo& info) { return WebServerRequest::make<T>(info); };
    }
    void addDefaultHandlerForMethod(const std::string& method, RequestFactory factory,
                                    WebServerAsyncProcessBlock block);
    // Nothing is added unless `path` starts with "/". The path compares case-insensitively.
    void addHandlerForMethod(const std::string& method, const std::string& path, RequestFactory factory,
                             WebServerAsyncProcessBlock block);
    // Nothing is added when the pattern does not compile; the captures of every match go to the
    // request attribute "WebServerRequestAttribute_RegexCaptures" (std::vector<std::string>).
    void addHandlerForMethodPathRegex(const std::string& method, const std::string& pattern, RequestFactory factory,
                                      WebServerAsyncProcessBlock block);
    void addGETHandlerForPathStaticData(const std::string& path, std::string data, std::string contentType,
                                        std::uint64_t cacheAge);
    void addGETHandlerForPathFilePath(const std::string& path, const std::string& filePath, bool isAttachment,
                                      std::uint64_t cacheAge, WebServerRanges ranges);
    // Serves the files under `directoryPath` at `basePath` (which must start and end with "/").
    void addGETHandlerForBasePath(const std::string& basePath, const std::string& directoryPath,
                                  std::optional<std::string> indexFilename, std::uint64_t cacheAge,
                                  WebServerRanges ranges);

    // Log level and built-in logger, process-wide.
    static void setLogLevel(base::LogLevel level);

    // The application's state; the app wires these to its scene notifications. Main thread.
    void setApplicationStateProvider(std::function<bool()> isInBackground);
    void applicationDidEnterBackground();
    void applicationWillEnterForeground();

    // Called by each connection when it is made and when it ends.
    void willStartConnection();
    void didEndConnection();
    // A connection registers while its socket is open, so `stop` can end its reading: a request
    // still arriving is then answered 503 and its temporary files go away with it.
    void trackConnection(WebServerConnection* connection);
    void untrackConnection(WebServerConnection* connection);
    std::uint64_t activeConnectionCount() const;
    // Blocks until every connection thread has finished or `timeout` passes; for orderly shutdown
    // and tests.
    bool waitForConnectionsToEnd(std::chrono::milliseconds timeout);
    // Names besides this machine's own that "Host" may give: the options' and the resolved
    // Bonjour host.
    std::vector<std::string> allowedHostNames() const;
    // The options the sockets were opened with.
    WebServerOptions currentOptions() const;
    // The answer that refuses a request from its head alone, before its body is read; nothing
    // lets it through. Runs on the connection's thread.
    virtual std::shared_ptr<WebServerResponse> refusalOfRequestHead(const WebServerRequest& /*request*/) const {
        return nullptr;
    }

protected:
    explicit WebServer(std::string className);
    // What a killed process left half-written; run at each start. Returns how many items went.
    virtual std::size_t removeStaleFiles();

private:
    struct Bonjour;

    bool openSockets(foundation::Error* error);
    void closeSockets();
    void accept(int fd, net::SocketAddress local, net::SocketAddress remote);
    void interruptConnections();
    // Lets connections of `client` whose client hung up before its answer leave its share (a
    // browser or wrk that gave up waiting and connects again); true when any did.
    bool releaseAbandonedConnections(const std::string& client);
    void abortConnections();
    void joinConnections();
    void startBonjour(const std::string& name);
    void startNATPortMapping();
    void didConnect();
    void didDisconnect();
    void startBackgroundTask();
    void endBackgroundTask();
    bool isInBackground() const;
    template <typename Call>
    void notifyDelegate(Call call);

    std::string m_className;
    std::shared_ptr<dispatch::Queue> m_syncQueue;
    mutable std::mutex m_mutex;  // guards the fields below up to the delegate
    std::vector<std::shared_ptr<const WebServerHandler>> m_handlers;
    std::optional<WebServerOptions> m_running;  // set exactly while running
    std::optional<std::uint16_t> m_portOverride;
    WebServerOptions m_options;                 // the options of the open sockets
    std::unique_ptr<net::Acceptor> m_acceptor;  // non-null exactly while the sockets are open
    std::unique_ptr<Bonjour> m_bonjour;
    bool m_notedNoBonjourDaemon = false;  // the missing daemon is told once
    std::optional<std::string> m_resolvedHost;
    std::uint16_t m_port = 0;
    std::string m_serverName;
    std::string m_authenticationRealm;
    std::map<std::string, std::string> m_authenticationAccounts;
    std::weak_ptr<WebServerDelegate> m_delegate;

    // Only on m_syncQueue.
    std::uint64_t m_activeConnections = 0;

    // Main thread only.
    bool m_connected = false;
    std::shared_ptr<dispatch::Timer> m_disconnectTimer;
    bool m_backgroundTask = false;
    std::function<bool()> m_isInBackground;

    std::shared_ptr<WebServerConnectionLimits> m_limits;  // under m_mutex; made with the sockets

    // Shared with the connection threads, which signal their end after letting go of the server.
    struct ConnectionThreads {
        std::mutex mutex;  // guards the fields below
        std::condition_variable done;
        std::uint64_t live = 0;
        std::set<WebServerConnection*> connections;
        // How `stop` is ending the connections; one that registers late is ended the same way.
        enum class Ending { none, interrupt, abort } ending = Ending::none;
    };
    std::shared_ptr<ConnectionThreads> m_threads = std::make_shared<ConnectionThreads>();
};

}  // namespace reelhaven

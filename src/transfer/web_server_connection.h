#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/network/socket_address.h"
#include "platform/network/stream_socket.h"
#include "transfer/web_server_handler.h"
#include "transfer/web_server_request.h"
#include "transfer/web_server_request_head_parser.h"
#include "transfer/web_server_response.h"

namespace reelhaven {

class WebServer;

// Serves one accepted socket for exactly one request, on the thread that calls `run`: reads and
// parses the head, picks the handler, reads the body into the request (fixed length or chunked),
// runs the handler, applies the conditional-request rules and writes the response with
// "Connection: Close". Subclasses override the hooks in the protected section.
class WebServerConnection : public std::enable_shared_from_this<WebServerConnection> {
public:
    WebServerConnection(std::shared_ptr<WebServer> server, net::SocketAddress localAddress,
                        net::SocketAddress remoteAddress, int socket);
    virtual ~WebServerConnection();
    WebServerConnection(const WebServerConnection&) = delete;
    WebServerConnection& operator=(const WebServerConnection&) = delete;

    // Serves the request and closes the socket; returns when the connection has ended.
    void run();
    // Ends the reading of the request from any thread (the server is stopping): a request still
    // arriving is answered 503. Only while the connection is tracked by its server.
    void interrupt();
    // Ends reading and writing at once (the server is stopping and the connection outlasted its
    // grace). Only while the connection is tracked by its server.
    void abort();

    // Runs once when the connection leaves its client's share of connections: just before the
    // first byte of the answer is written (on the connection's thread), or when its client has hung
    // up (on the thread calling `leaveShareIfAbandoned`). Set before `run`.
    std::function<void()> willLeaveShare;
    // Leaves the client's share when the client has closed its end while the request is still
    // being read or processed (it gave up waiting); true when it left. Only while the connection
    // is tracked by its server.
    bool leaveShareIfAbandoned();

    WebServer& server() const { return *m_server; }
    const net::SocketAddress& localAddress() const { return m_localAddress; }
    const net::SocketAddress& remoteAddress() const { return m_remoteAddress; }
    std::string localAddressString() const { return m_localAddress.toString(true); }
    std::string remoteAddressString() const { return m_remoteAddress.toString(true); }
    bool isUsingIPv6() const { return m_localAddress.family() == AF_INET6; }
    std::uint64_t totalBytesRead() const { return m_totalBytesRead; }
    std::uint64_t totalBytesWritten() const { return m_totalBytesWritten; }
    int statusCode() const { return m_statusCode; }

protected:
    virtual bool open() { return true; }
    virtual void didReadBytes(const char* /*bytes*/, std::size_t length) { m_totalBytesRead += length; }
    virtual void didWriteBytes(const char* /*bytes*/, std::size_t length) { m_totalBytesWritten += length; }
    virtual std::string rewriteRequestURL(const std::string& url, const std::string& /*method*/,
                                          const WebServerHeaders& /*headers*/) {
        return url;
    }
    // Authentication, once the whole request has been read; a response answers the request at once.
    virtual std::shared_ptr<WebServerResponse> preflightRequest(const std::shared_ptr<WebServerRequest>& request);
    virtual void processRequest(const std::shared_ptr<WebServerRequest>& request, WebServerCompletionBlock completion);
    // The conditional-request rules (304 or 412 for an unchanged resource).
    virtual std::shared_ptr<WebServerResponse> overrideResponse(const std::shared_ptr<WebServerResponse>& response,
                                                                const std::shared_ptr<WebServerRequest>& request);
    // Answers with a bare head carrying the status.
    virtual void abortRequest(const std::shared_ptr<WebServerRequest>& request, int statusCode);
    // The access log line.
    virtual void close();

private:
    enum class ReadResult { ok, failed };

    // Reads the head and prepares the request it asks for (a handler, an opened body); false when
    // the request has been answered already. The steps, in order:
    bool readHead(std::string& initialBody);
    // The parsed head and the body bytes read with it, or nothing (answered 400, 431 or as unread).
    std::optional<WebServerRequestHead> receiveHead(std::string& initialBody);
    // The target and the body framing, or answers 400 (or the framing's status).
    bool acceptHead(const WebServerRequestHead& head, WebServerRequestInfo& info);
    // The handler and its request, or answers 501.
    bool findHandler(const WebServerRequestInfo& info);
    // Opens the body's writer and says "100 Continue" when asked, or answers why not.
    bool prepareBody(const std::string& initialBody);
    bool parseHead(const WebServerRequestHead& head, WebServerRequestInfo& info);
    bool readBody(std::string initialBody);
    bool readFixedLengthBody(std::string initialBody);
    bool readChunkedBody(std::string initialBody);
    bool closeBody(bool readOK);
    // The refusal of a request from its head alone (a host not served here, the server's own
    // rules), or nothing.
    std::shared_ptr<WebServerResponse> refusalOfHead(const WebServerRequest& request);
    // Answers with the status the error stands for (500 when it stands for none) and its text.
    void answerWithError(const foundation::Error& error);
    void finishProcessingRequest(std::shared_ptr<WebServerResponse> response);
    std::string responseHead(const WebServerResponse& response, int statusCode);
    void writeBody(WebServerResponse& response);
    bool writeData(const char* data, std::size_t length);
    // Writes the head of the answer, leaving the client's share first.
    bool writeAnswerHead(const std::string& head);
    void leaveShare();
    // Reads once, at most `capacity` bytes; the bytes stay valid until the next read. Nothing
    // (logged) when the read failed.
    std::optional<std::string_view> readSome(std::size_t capacity);
    // The status of an answer to a request that could not be read.
    int unreadableRequestStatus() const { return m_interrupted ? 503 : m_tooSlow ? 408 : 500; }
    // The latest time by which the body's first `bytesRead` bytes must have arrived.
    net::StreamSocket::Deadline bodyDeadline(std::uint64_t bytesRead) const;
    std::shared_ptr<WebServerResponse> authenticate(const std::shared_ptr<WebServerRequest>& request);

    std::shared_ptr<WebServer> m_server;
    net::SocketAddress m_localAddress;
    net::SocketAddress m_remoteAddress;
    net::StreamSocket m_socket;
    int m_fd;
    bool m_virtualHEAD = false;
    std::optional<std::string> m_targetAuthority;  // the host of an absolute-form target
    std::shared_ptr<WebServerRequest> m_request;
    std::shared_ptr<const WebServerHandler> m_handler;
    std::shared_ptr<WebServerResponse> m_response;
    int m_statusCode = 0;
    bool m_opened = false;
    bool m_inputComplete = false;  // the whole request (head and body) has been read
    std::uint64_t m_totalBytesRead = 0;
    std::uint64_t m_totalBytesWritten = 0;
    std::size_t m_drainLimit = 0;
    std::chrono::milliseconds m_drainTimeout{0};
    std::chrono::milliseconds m_headTimeout{0};
    std::chrono::milliseconds m_bodyGracePeriod{0};
    std::size_t m_minimumBodyRate = 0;
    net::StreamSocket::Deadline m_bodyStart;
    std::atomic<bool> m_interrupted = false;
    std::atomic<bool> m_leftShare = false;
    bool m_tooSlow = false;        // the request missed its deadline
    bool m_malformedBody = false;  // the chunked framing of the body was broken
    std::optional<foundation::Error> m_bodyWriteError;
    std::unique_ptr<char[]> m_readBuffer;
    std::size_t m_readBufferSize = 0;
};

}  // namespace reelhaven

#include "transfer/web_server_connection.h"

#include <poll.h>

#include <algorithm>
#include <cstring>
#include <future>

#include "transfer/web_server.h"
#include "transfer/web_server_body_framing.h"
#include "transfer/web_server_chunked_decoder.h"
#include "transfer/web_server_error_response.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_host_names.h"
#include "transfer/web_server_log.h"
#include "transfer/web_server_request_head_parser.h"

namespace reelhaven {

namespace {

using base::LogLevel;

// The most one read takes from the socket. A large upload is bound by its reads and the writes
// that follow them: smaller reads cost more CPU per byte in system calls, and much larger ones
// stop gaining while they hold more memory per connection (bench/transfer measures the choice).
// The buffer grows to what the reads ask, so a request without a large body keeps a small one.
constexpr std::size_t kReadChunk = 256 * 1024;

// The decoded path as it goes into the access log: control characters stay escaped, so a
// "%0D%0A" in a URL cannot start a forged log line.
std::string loggablePath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(path.size());
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            text += '%';
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

WebServerConnection::WebServerConnection(std::shared_ptr<WebServer> server, net::SocketAddress localAddress,
                                         net::SocketAddress remoteAddress, int socket)
    : m_server(std::move(server)),
      m_localAddress(localAddress),
      m_remoteAddress(remoteAddress),
      m_socket(socket, m_server->currentOptions().connectionIdleTimeout),
      m_fd(socket) {
    WebServerOptions options = m_server->currentOptions();
    m_drainLimit = options.drainLimit;
    m_drainTimeout = options.drainTimeout;
    m_headTimeout = options.requestHeadTimeout;
    m_bodyGracePeriod = options.bodyGracePeriod;
    m_minimumBodyRate = options.minimumBodyBytesPerSecond;
}

WebServerConnection::~WebServerConnection() = default;

void WebServerConnection::run() {
    m_server->willStartConnection();
    if (!open()) {
        [[maybe_unused]] int ignored = m_socket.close();
        m_server->didEndConnection();
        return;
    }
    m_opened = true;
    m_server->trackConnection(this);

    std::string initialBody;
    bool headRead = readHead(initialBody);
    m_socket.setDeadline(std::nullopt);
    if (headRead) {
        if (m_request && m_request->hasBody()) {
            if (readBody(std::move(initialBody))) m_inputComplete = true;
            m_socket.setDeadline(std::nullopt);
        } else if (m_request) {
            m_inputComplete = true;
        }
        if (m_inputComplete) {
            if (auto response = preflightRequest(m_request)) {
                finishProcessingRequest(response);
            } else {
                std::promise<std::shared_ptr<WebServerResponse>> answered;
                auto future = answered.get_future();
                auto once = std::make_shared<std::once_flag>();
                processRequest(m_request, [&answered, once](std::shared_ptr<WebServerResponse> response) {
                    std::call_once(*once, [&] { answered.set_value(std::move(response)); });
                });
                finishProcessingRequest(future.get());
            }
        }
    }

    m_socket.setDeadline(std::nullopt);
    m_socket.shutdownWriteAndDrain(m_inputComplete ? 64 * 1024 : m_drainLimit, m_drainTimeout);
    m_server->untrackConnection(this);
    if (int error = m_socket.close(); error != 0) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed closing socket " + std::to_string(m_fd) + " for connection: " + WebServerErrnoText(error);
        });
    }
    close();
    m_server->didEndConnection();
}

void WebServerConnection::interrupt() {
    m_interrupted = true;
    // Wakes a read waiting for the peer: it then sees the end of the input.
    ::shutdown(m_fd, SHUT_RD);
}

bool WebServerConnection::leaveShareIfAbandoned() {
    if (m_leftShare) return false;
    pollfd state{m_fd, POLLRDHUP, 0};
    if (::poll(&state, 1, 0) != 1 || (state.revents & (POLLRDHUP | POLLHUP | POLLERR)) == 0) return false;
    leaveShare();
    return true;
}

void WebServerConnection::abort() {
    m_interrupted = true;
    ::shutdown(m_fd, SHUT_RDWR);
}

net::StreamSocket::Deadline WebServerConnection::bodyDeadline(std::uint64_t bytesRead) const {
    double seconds = static_cast<double>(bytesRead + 1) / static_cast<double>(m_minimumBodyRate);
    // Beyond a few years the deadline means nothing (and would overflow the clock).
    if (m_minimumBodyRate == 0 || seconds > 1e8) return net::StreamSocket::Deadline::max();
    return m_bodyStart + m_bodyGracePeriod +
           std::chrono::ceil<std::chrono::milliseconds>(std::chrono::duration<double>(seconds));
}

std::optional<std::string_view> WebServerConnection::readSome(std::size_t capacity) {
    // Reused and never cleared: filling a fresh buffer for every read cost as much as the read.
    capacity = std::min(capacity, kReadChunk);
    if (capacity > m_readBufferSize) {
        m_readBuffer = std::make_unique_for_overwrite<char[]>(capacity);
        m_readBufferSize = capacity;
    }
    net::IoResult result = m_socket.readSome(m_readBuffer.get(), capacity);
    if (result.ok()) {
        didReadBytes(m_readBuffer.get(), result.bytes);
        return std::string_view(m_readBuffer.get(), result.bytes);
    }
    m_socket.setDeadline(std::nullopt);  // the answer still goes out
    if (result.status == net::IoStatus::pastDeadline) m_tooSlow = true;
    switch (result.status) {
        case net::IoStatus::failed:
            WebServerLog(LogLevel::error, [&] {
                return "Error while reading from socket " + std::to_string(m_fd) + ": " +
                       WebServerErrnoText(result.errnum);
            });
            break;
        case net::IoStatus::closed:
            if (m_interrupted) {
                WebServerLog(LogLevel::warning,
                             [&] { return "Server stopping: ending request on socket " + std::to_string(m_fd); });
            } else if (m_totalBytesRead > 0) {
                WebServerLog(LogLevel::error,
                             [&] { return "No more data available on socket " + std::to_string(m_fd); });
            } else {
                WebServerLog(LogLevel::warning, [&] { return "No data received from socket " + std::to_string(m_fd); });
            }
            break;
        case net::IoStatus::pastDeadline:
            WebServerLog(LogLevel::error, [&] {
                return "Request on socket " + std::to_string(m_fd) + " arrives too slowly: closing it";
            });
            break;
        default:
            WebServerLog(LogLevel::error, [&] {
                return "No progress on socket " + std::to_string(m_fd) + " for " +
                       std::to_string(m_socket.idleTimeout().count()) + " ms: closing it";
            });
            break;
    }
    return std::nullopt;
}

bool WebServerConnection::readHead(std::string& initialBody) {
    auto head = receiveHead(initialBody);
    if (!head) return false;
    WebServerRequestInfo info;
    if (!acceptHead(*head, info) || !findHandler(info)) return false;
    // Before any byte of the body is read: a refused request must not fill the disk first.
    if (auto refusal = refusalOfHead(*m_request)) {
        finishProcessingRequest(std::move(refusal));
        return false;
    }
    return !m_request->hasBody() || prepareBody(initialBody);
}

std::optional<WebServerRequestHead> WebServerConnection::receiveHead(std::string& initialBody) {
    WebServerRequestHeadParser parser;
    m_socket.setDeadline(std::chrono::steady_clock::now() + m_headTimeout);
    while (parser.status() == WebServerRequestHeadParser::Status::needMore) {
        auto bytes = readSome(16 * 1024);
        if (!bytes) {
            abortRequest(nullptr, unreadableRequestStatus());
            return std::nullopt;
        }
        std::size_t taken = parser.feed(*bytes);
        if (parser.status() == WebServerRequestHeadParser::Status::complete) initialBody = bytes->substr(taken);
    }
    if (parser.status() == WebServerRequestHeadParser::Status::error) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed parsing request headers from socket " + std::to_string(m_fd) + " (" + parser.error() + ")";
        });
        abortRequest(nullptr, parser.isTooLarge() ? 431 : 400);
        return std::nullopt;
    }
    return parser.takeHead();
}

bool WebServerConnection::acceptHead(const WebServerRequestHead& head, WebServerRequestInfo& info) {
    if (!parseHead(head, info)) {
        WebServerLog(LogLevel::error, [&] {
            return "Malformed request target " + loggablePath(head.target) + " on socket " + std::to_string(m_fd);
        });
        abortRequest(nullptr, 400);
        return false;
    }
    // Framing no handler could read safely is refused before any handler is asked.
    if (int status = WebServerBodyFramingStatus(info.headers); status != 0) {
        WebServerLog(LogLevel::error, [&] {
            return "Refusing the body framing of the request on socket " + std::to_string(m_fd) + " (" +
                   std::to_string(status) + ")";
        });
        abortRequest(nullptr, status);
        return false;
    }
    return true;
}

bool WebServerConnection::findHandler(const WebServerRequestInfo& info) {
    for (const auto& handler : m_server->handlers()) {
        if (auto request = handler->matchBlock(info)) {
            m_handler = handler;
            m_request = std::move(request);
            break;
        }
    }
    if (!m_request) {
        m_request = std::make_shared<WebServerRequest>(info);
        m_request->setAddresses(m_localAddress, m_remoteAddress);
        abortRequest(m_request, 501);
        return false;
    }
    m_request->setAddresses(m_localAddress, m_remoteAddress);
    return true;
}

bool WebServerConnection::prepareBody(const std::string& initialBody) {
    m_request->prepareForWriting();
    if (!m_request->usesChunkedTransferEncoding() && initialBody.size() > m_request->contentLength()) {
        WebServerLog(LogLevel::error,
                     [&] { return "Unexpected 'Content-Length' header value on socket " + std::to_string(m_fd); });
        abortRequest(m_request, 400);
        return false;
    }
    // Opened before "100 Continue": a body its writer cannot take (too large, no room on the disk)
    // is refused before the client sends it.
    if (auto opened = m_request->performOpen(); !opened) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed opening request body for socket " + std::to_string(m_fd) + ": " + opened.error().description;
        });
        answerWithError(opened.error());
        return false;
    }
    if (auto* expect = WebServerHeaderValue(m_request->headers(), "Expect")) {
        if (WebServerLowercase(*expect) != "100-continue") {
            WebServerLog(LogLevel::error, [&] {
                return "Unsupported 'Expect' / 'Content-Length' header combination on socket " + std::to_string(m_fd);
            });
            abortRequest(m_request, 417);
            return false;
        }
        static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
        if (!writeData(kContinue.data(), kContinue.size())) return false;
    }
    return true;
}

bool WebServerConnection::parseHead(const WebServerRequestHead& head, WebServerRequestInfo& info) {
    info.method = head.method;
    if (info.method == "HEAD" && m_server->shouldAutomaticallyMapHEADToGET()) {
        m_virtualHEAD = true;
        info.method = "GET";
    }
    info.headers = head.headers;
    info.url = rewriteRequestURL(head.target, info.method, info.headers);
    std::string_view target = info.url;
    if (!target.starts_with('/')) {
        // Absolute form: "http://host:port/path?query". Its host stands in for "Host", so it is
        // held to the same rule.
        std::size_t scheme = target.find("://");
        if (scheme == std::string_view::npos) return false;
        std::size_t pathStart = target.find_first_of("/?", scheme + 3);
        m_targetAuthority = std::string(target.substr(
            scheme + 3, pathStart == std::string_view::npos ? std::string_view::npos : pathStart - scheme - 3));
        target = pathStart == std::string_view::npos ? std::string_view() : target.substr(pathStart);
    }
    target = target.substr(0, target.find('#'));
    std::size_t question = target.find('?');
    std::string_view rawPath = target.substr(0, question);
    auto path = WebServerPercentUnescape(rawPath.empty() ? "/" : rawPath);
    if (!path) return false;
    info.path = *path;
    if (question != std::string_view::npos) info.query = WebServerParseFormString(target.substr(question + 1));
    return true;
}

bool WebServerConnection::readBody(std::string initialBody) {
    m_bodyStart = std::chrono::steady_clock::now();
    bool ok = m_request->usesChunkedTransferEncoding() ? readChunkedBody(std::move(initialBody))
                                                       : readFixedLengthBody(std::move(initialBody));
    return closeBody(ok);
}

bool WebServerConnection::readFixedLengthBody(std::string initialBody) {
    auto write = [this](std::string_view data) {
        auto written = m_request->performWriteData(data);
        if (!written) {
            m_bodyWriteError = written.error();
            WebServerLog(LogLevel::error, [&] {
                return "Failed writing request body on socket " + std::to_string(m_fd) + ": " +
                       written.error().description;
            });
        }
        return written.ok();
    };
    if (!initialBody.empty() && !write(initialBody)) return false;
    std::uint64_t remaining = m_request->contentLength() - initialBody.size();
    while (remaining > 0) {
        m_socket.setDeadline(bodyDeadline(m_request->contentLength() - remaining));
        auto bytes = readSome(static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kReadChunk)));
        if (!bytes) return false;
        remaining -= bytes->size();
        if (!write(*bytes)) return false;
    }
    return true;
}

bool WebServerConnection::readChunkedBody(std::string initialBody) {
    WebServerChunkedDecoder decoder;
    bool writeFailed = false;
    auto sink = [&](std::string_view data) {
        auto written = m_request->performWriteData(data);
        if (!written) {
            writeFailed = true;
            m_bodyWriteError = written.error();
            WebServerLog(LogLevel::error, [&] {
                return "Failed writing request body on socket " + std::to_string(m_fd) + ": " +
                       written.error().description;
            });
        }
        return written.ok();
    };
    std::string_view buffer = initialBody;
    std::uint64_t received = 0;
    for (;;) {
        received += buffer.size();
        decoder.feed(buffer, sink);
        if (decoder.status() == WebServerChunkedDecoder::Status::done) return true;
        if (decoder.status() == WebServerChunkedDecoder::Status::error) {
            if (!writeFailed) {
                m_malformedBody = true;
                WebServerLog(LogLevel::error, [&] {
                    return "Invalid chunk length reading request body on socket " + std::to_string(m_fd) + " (" +
                           decoder.error() + ")";
                });
            }
            return false;
        }
        m_socket.setDeadline(bodyDeadline(received));
        auto bytes = readSome(kReadChunk);
        if (!bytes) return false;
        buffer = *bytes;
    }
}

bool WebServerConnection::closeBody(bool readOK) {
    auto closed = m_request->performClose();
    if (!readOK && m_bodyWriteError && !m_interrupted) {
        // The body arrived but could not be kept (a full disk, a malformed form): say why.
        answerWithError(*m_bodyWriteError);
        return false;
    }
    if (!readOK) {
        abortRequest(m_request, m_malformedBody && !m_interrupted ? 400 : unreadableRequestStatus());
        return false;
    }
    if (!closed) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed closing request body for socket " + std::to_string(m_fd) + ": " + closed.error().description;
        });
        abortRequest(m_request, 500);
        return false;
    }
    return true;
}

void WebServerConnection::answerWithError(const foundation::Error& error) {
    int status = WebServerErrorStatus(error);
    if (status == 0) status = 500;
    finishProcessingRequest(status < 500 ? WebServerErrorResponse::responseWithClientError(status, error.description)
                                         : WebServerErrorResponse::responseWithServerError(status, error.description));
}

std::shared_ptr<WebServerResponse> WebServerConnection::refusalOfHead(const WebServerRequest& request) {
    // Clients without "Host" (HTTP/1.0 tools) are no browser visiting another site; a "Host" that
    // names nothing is no answer either.
    const std::string* host = WebServerHeaderValue(request.headers(), "Host");
    const std::string* authority = m_targetAuthority ? &*m_targetAuthority : nullptr;
    for (const std::string* named : {authority, host}) {
        if (!named || WebServerHostNamesThisMachine(*named, m_server->allowedHostNames())) continue;
        WebServerLog(LogLevel::warning, [&] {
            return "Refusing request for host " + loggablePath(*named) + " on socket " + std::to_string(m_fd);
        });
        return WebServerErrorResponse::responseWithClientError(403, "Host \"" + *named + "\" is not served here");
    }
    return m_server->refusalOfRequestHead(request);
}

std::shared_ptr<WebServerResponse> WebServerConnection::preflightRequest(
    const std::shared_ptr<WebServerRequest>& request) {
    return authenticate(request);
}

void WebServerConnection::processRequest(const std::shared_ptr<WebServerRequest>& request,
                                         WebServerCompletionBlock completion) {
    m_handler->asyncProcessBlock(request, std::move(completion));
}

void WebServerConnection::close() {
    if (!WebServerIsLogging(LogLevel::verbose)) return;
    std::string counts = " (" + std::to_string(m_totalBytesRead) + " | " + std::to_string(m_totalBytesWritten) + ")";
    std::string prefix =
        "[" + localAddressString() + "] " + remoteAddressString() + " " + std::to_string(m_statusCode) + " ";
    if (m_request) {
        std::string method = m_virtualHEAD ? "HEAD" : m_request->method();
        WebServerLogText(LogLevel::verbose,
                         prefix + "\"" + method + " " + loggablePath(m_request->path()) + "\"" + counts);
    } else {
        WebServerLogText(LogLevel::verbose, prefix + "\"(invalid request)\"" + counts);
    }
}

}  // namespace reelhaven

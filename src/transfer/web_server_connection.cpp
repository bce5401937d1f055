#include "transfer/web_server_connection.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>

#include "platform/foundation/uuid.h"
#include "transfer/web_server.h"
#include "transfer/web_server_chunked_decoder.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"
#include "transfer/web_server_request_head_parser.h"

namespace reelhaven {

namespace {

using base::LogLevel;

constexpr std::size_t kReadChunk = 256 * 1024;

const char* reasonPhrase(int status) {
    switch (status) {
        case 100: return "Continue";
        case 200: return "OK";
        case 201: return "Created";
        case 204: return "No Content";
        case 206: return "Partial Content";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 304: return "Not Modified";
        case 307: return "Temporary Redirect";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 408: return "Request Timeout";
        case 412: return "Precondition Failed";
        case 413: return "Payload Too Large";
        case 416: return "Range Not Satisfiable";
        case 417: return "Expectation Failed";
        case 500: return "Internal Server Error";
        case 501: return "Not Implemented";
        case 503: return "Service Unavailable";
        default:
            return status < 300 ? "OK" : status < 400 ? "Redirect" : status < 500 ? "Client Error" : "Server Error";
    }
}

// Header values never carry line breaks into the response.
std::string headerSafe(std::string value) {
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return value;
}

std::string errnoText(int errnum) { return std::string(std::strerror(errnum)) + " (" + std::to_string(errnum) + ")"; }

const std::string& processNonce() {
    static const std::string nonce = WebServerMD5Hex(foundation::UUID::random().uuidString());
    return nonce;
}

// The comma-separated parameters of a Digest "Authorization" value.
std::map<std::string, std::string> digestParameters(std::string_view text) {
    std::map<std::string, std::string> result;
    std::size_t position = 0;
    while (position < text.size()) {
        while (position < text.size() && (text[position] == ' ' || text[position] == ',')) ++position;
        std::size_t equals = text.find('=', position);
        if (equals == std::string_view::npos) break;
        std::string key = WebServerLowercase(text.substr(position, equals - position));
        std::size_t cursor = equals + 1;
        std::string value;
        if (cursor < text.size() && text[cursor] == '"') {
            std::size_t close = text.find('"', cursor + 1);
            if (close == std::string_view::npos) close = text.size();
            value = text.substr(cursor + 1, close - cursor - 1);
            cursor = close + 1;
        } else {
            std::size_t end = text.find(',', cursor);
            if (end == std::string_view::npos) end = text.size();
            value = text.substr(cursor, end - cursor);
            cursor = end;
        }
        result[key] = value;
        position = cursor;
    }
    return result;
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

    std::string initialBody;
    if (readHead(initialBody)) {
        if (m_request && m_request->hasBody()) {
            if (readBody(std::move(initialBody))) m_inputComplete = true;
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

    m_socket.shutdownWriteAndDrain(m_inputComplete ? 64 * 1024 : m_drainLimit, m_drainTimeout);
    if (int error = m_socket.close(); error != 0) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed closing socket " + std::to_string(m_fd) + " for connection: " + errnoText(error);
        });
    }
    close();
    m_server->didEndConnection();
}

bool WebServerConnection::readSome(std::string& buffer, std::size_t capacity) {
    std::size_t used = buffer.size();
    buffer.resize(used + capacity);
    net::IoResult result = m_socket.readSome(buffer.data() + used, capacity);
    buffer.resize(used + result.bytes);
    if (result.ok()) {
        didReadBytes(buffer.data() + used, result.bytes);
        return true;
    }
    switch (result.status) {
        case net::IoStatus::failed:
            WebServerLog(LogLevel::error, [&] {
                return "Error while reading from socket " + std::to_string(m_fd) + ": " + errnoText(result.errnum);
            });
            break;
        case net::IoStatus::closed:
            if (m_totalBytesRead > 0) {
                WebServerLog(LogLevel::error,
                             [&] { return "No more data available on socket " + std::to_string(m_fd); });
            } else {
                WebServerLog(LogLevel::warning, [&] { return "No data received from socket " + std::to_string(m_fd); });
            }
            break;
        default:
            WebServerLog(LogLevel::error, [&] {
                return "No progress on socket " + std::to_string(m_fd) + " for " +
                       std::to_string(m_socket.idleTimeout().count()) + " ms: closing it";
            });
            break;
    }
    return false;
}

bool WebServerConnection::readHead(std::string& initialBody) {
    WebServerRequestHeadParser parser;
    std::string buffer;
    while (parser.status() == WebServerRequestHeadParser::Status::needMore) {
        buffer.clear();
        if (!readSome(buffer, 16 * 1024)) {
            abortRequest(nullptr, 500);
            return false;
        }
        std::size_t taken = parser.feed(buffer);
        if (parser.status() == WebServerRequestHeadParser::Status::complete) initialBody = buffer.substr(taken);
    }
    if (parser.status() == WebServerRequestHeadParser::Status::error) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed parsing request headers from socket " + std::to_string(m_fd) + " (" + parser.error() + ")";
        });
        abortRequest(nullptr, 500);
        return false;
    }
    WebServerRequestInfo info;
    if (!parseHead(parser.head(), info)) {
        abortRequest(nullptr, 500);
        return false;
    }
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
    if (!m_request->hasBody()) return true;

    m_request->prepareForWriting();
    if (!m_request->usesChunkedTransferEncoding() && initialBody.size() > m_request->contentLength()) {
        WebServerLog(LogLevel::error,
                     [&] { return "Unexpected 'Content-Length' header value on socket " + std::to_string(m_fd); });
        abortRequest(m_request, 400);
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
        // Absolute form: "http://host:port/path?query".
        std::size_t scheme = target.find("://");
        if (scheme == std::string_view::npos) return false;
        std::size_t pathStart = target.find_first_of("/?", scheme + 3);
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
    if (auto opened = m_request->performOpen(); !opened) {
        WebServerLog(LogLevel::error, [&] {
            return "Failed opening request body for socket " + std::to_string(m_fd) + ": " + opened.error().description;
        });
        abortRequest(m_request, 500);
        return false;
    }
    bool ok = m_request->usesChunkedTransferEncoding() ? readChunkedBody(std::move(initialBody))
                                                       : readFixedLengthBody(std::move(initialBody));
    return closeBody(ok);
}

bool WebServerConnection::readFixedLengthBody(std::string initialBody) {
    auto write = [this](std::string_view data) {
        auto written = m_request->performWriteData(data);
        if (!written) {
            WebServerLog(LogLevel::error, [&] {
                return "Failed writing request body on socket " + std::to_string(m_fd) + ": " +
                       written.error().description;
            });
        }
        return written.ok();
    };
    if (!initialBody.empty() && !write(initialBody)) return false;
    std::uint64_t remaining = m_request->contentLength() - initialBody.size();
    std::string buffer;
    buffer.reserve(kReadChunk);
    while (remaining > 0) {
        buffer.clear();
        if (!readSome(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kReadChunk)))) return false;
        remaining -= buffer.size();
        if (!write(buffer)) return false;
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
            WebServerLog(LogLevel::error, [&] {
                return "Failed writing request body on socket " + std::to_string(m_fd) + ": " +
                       written.error().description;
            });
        }
        return written.ok();
    };
    std::string buffer = std::move(initialBody);
    for (;;) {
        decoder.feed(buffer, sink);
        if (decoder.status() == WebServerChunkedDecoder::Status::done) return true;
        if (decoder.status() == WebServerChunkedDecoder::Status::error) {
            if (!writeFailed) {
                WebServerLog(LogLevel::error, [&] {
                    return "Invalid chunk length reading request body on socket " + std::to_string(m_fd) + " (" +
                           decoder.error() + ")";
                });
            }
            return false;
        }
        buffer.clear();
        if (!readSome(buffer, kReadChunk)) return false;
    }
}

bool WebServerConnection::closeBody(bool readOK) {
    auto closed = m_request->performClose();
    if (!readOK) {
        abortRequest(m_request, 500);
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

std::shared_ptr<WebServerResponse> WebServerConnection::preflightRequest(
    const std::shared_ptr<WebServerRequest>& request) {
    return authenticate(request);
}

std::shared_ptr<WebServerResponse> WebServerConnection::authenticate(const std::shared_ptr<WebServerRequest>& request) {
    auto method = m_server->authenticationMethod();
    if (method == WebServerAuthenticationMethod::none) return nullptr;
    auto accounts = m_server->authenticationAccounts();
    std::string realm = m_server->authenticationRealm();
    const std::string* authorization = WebServerHeaderValue(request->headers(), "Authorization");
    if (method == WebServerAuthenticationMethod::basic) {
        if (authorization && authorization->starts_with("Basic ")) {
            std::string credential = authorization->substr(6);
            for (const auto& [user, stored] : accounts) {
                if (stored == credential) return nullptr;
            }
        }
        auto response = WebServerResponse::responseWithStatusCode(401);
        response->setValueForAdditionalHeader("Basic realm=\"" + realm + "\"", "WWW-Authenticate");
        return response;
    }
    bool stale = false;
    if (authorization && authorization->starts_with("Digest ")) {
        auto parameters = digestParameters(std::string_view(*authorization).substr(7));
        const std::string& nonce = parameters["nonce"];
        if (parameters["realm"] == realm && nonce == processNonce()) {
            auto account = accounts.find(parameters["username"]);
            if (account != accounts.end()) {
                std::string expected = WebServerMD5Hex(account->second + ":" + nonce + ":" +
                                                       WebServerMD5Hex(request->method() + ":" + parameters["uri"]));
                if (parameters["response"] == expected) return nullptr;
            }
        } else if (!nonce.empty() && nonce != processNonce()) {
            stale = true;
        }
    }
    auto response = WebServerResponse::responseWithStatusCode(401);
    response->setValueForAdditionalHeader(
        "Digest realm=\"" + realm + "\", nonce=\"" + processNonce() + "\"" + (stale ? ", stale=TRUE" : ""),
        "WWW-Authenticate");
    return response;
}

void WebServerConnection::processRequest(const std::shared_ptr<WebServerRequest>& request,
                                         WebServerCompletionBlock completion) {
    m_handler->asyncProcessBlock(request, std::move(completion));
}

std::shared_ptr<WebServerResponse> WebServerConnection::overrideResponse(
    const std::shared_ptr<WebServerResponse>& response, const std::shared_ptr<WebServerRequest>& request) {
    int status = response->statusCode();
    if (status < 200 || status > 299) return response;
    bool unchanged = false;
    if (response->lastModifiedDate() && request->ifModifiedSince()) {
        // HTTP dates have whole seconds: compare at that precision.
        double modified = std::floor(response->lastModifiedDate()->timeIntervalSince1970);
        unchanged = modified <= request->ifModifiedSince()->timeIntervalSince1970;
    } else if (response->eTag() && request->ifNoneMatch()) {
        unchanged = *request->ifNoneMatch() == "*" || *request->ifNoneMatch() == *response->eTag();
    }
    if (!unchanged) return response;
    bool safe = request->method() == "GET" || request->method() == "HEAD";
    auto replacement = WebServerResponse::responseWithStatusCode(safe ? 304 : 412);
    replacement->setCacheControlMaxAge(response->cacheControlMaxAge());
    replacement->setLastModifiedDate(response->lastModifiedDate());
    replacement->setETag(response->eTag());
    return replacement;
}

void WebServerConnection::finishProcessingRequest(std::shared_ptr<WebServerResponse> response) {
    if (response) response = overrideResponse(response, m_request);
    bool opened = false;
    if (response && response->hasBody()) {
        response->prepareForReading();
        if (!m_virtualHEAD) {
            if (auto status = response->performOpen(); !status) {
                WebServerLog(LogLevel::error, [&] {
                    return "Failed opening response body for socket " + std::to_string(m_fd) + ": " +
                           status.error().description;
                });
                response = nullptr;
            } else {
                opened = true;
            }
        }
    }
    if (!response) {
        abortRequest(m_request, 500);
        return;
    }
    m_response = response;
    m_statusCode = response->statusCode();
    std::string head = responseHead(*response, m_statusCode);
    if (writeData(head.data(), head.size()) && opened) writeBody(*response);
    if (opened) response->performClose();
}

std::string WebServerConnection::responseHead(const WebServerResponse& response, int statusCode) {
    std::string head = "HTTP/1.1 " + std::to_string(statusCode) + " " + reasonPhrase(statusCode) + "\r\n";
    WebServerHeaders fields;
    std::vector<std::string> order;
    auto set = [&](const std::string& name, std::string value) {
        if (fields.find(name) == fields.end()) order.push_back(name);
        fields[name] = headerSafe(std::move(value));
    };
    set("Connection", "Close");
    set("Server", m_server->serverName().empty() ? m_server->className() : m_server->serverName());
    set("Date", WebServerHTTPDateString(foundation::Date::now()));
    if (response.lastModifiedDate()) set("Last-Modified", WebServerHTTPDateString(*response.lastModifiedDate()));
    if (response.eTag()) set("ETag", *response.eTag());
    if (statusCode >= 200 && statusCode <= 299) {
        set("Cache-Control", response.cacheControlMaxAge() != 0
                                 ? "max-age=" + std::to_string(response.cacheControlMaxAge()) + ", public"
                                 : std::string("no-cache"));
    }
    if (response.contentType()) set("Content-Type", *WebServerLowercaseHeaderValue(*response.contentType()));
    if (response.contentLength() != WebServerResponse::kUnknownLength) {
        set("Content-Length", std::to_string(response.contentLength()));
    }
    if (response.usesChunkedTransferEncoding()) set("Transfer-Encoding", "chunked");
    for (const auto& [name, value] : response.additionalHeaders()) set(name, value);
    for (const auto& name : order) head += name + ": " + fields.find(name)->second + "\r\n";
    head += "\r\n";
    return head;
}

bool WebServerConnection::writeData(const char* data, std::size_t length) {
    net::IoResult result = m_socket.writeAll(data, length);
    if (result.bytes > 0) didWriteBytes(data, result.bytes);
    if (result.ok()) return true;
    WebServerLog(LogLevel::error, [&] {
        return "Error while writing to socket " + std::to_string(m_fd) + ": " +
               (result.status == net::IoStatus::timedOut ? std::string("no progress") : errnoText(result.errnum));
    });
    return false;
}

void WebServerConnection::writeBody(WebServerResponse& response) {
    bool chunked = response.usesChunkedTransferEncoding();
    if (auto region = response.directFileRegion(); region && !chunked) {
        off_t offset = region->offset;
        net::IoResult result = m_socket.sendFile(region->fd, &offset, region->length);
        if (result.bytes > 0) didWriteBytes(nullptr, result.bytes);
        if (!result.ok()) {
            WebServerLog(LogLevel::error, [&] {
                return "Error while writing to socket " + std::to_string(m_fd) + ": " +
                       (result.status == net::IoStatus::failed ? errnoText(result.errnum) : std::string("no progress"));
            });
        }
        return;
    }
    for (;;) {
        std::promise<foundation::Result<std::string>> read;
        auto future = read.get_future();
        response.performReadData([&read](foundation::Result<std::string> data) { read.set_value(std::move(data)); });
        foundation::Result<std::string> data = future.get();
        if (!data) {
            WebServerLog(LogLevel::error, [&] {
                return "Failed reading response body for socket " + std::to_string(m_fd) + ": " +
                       data.error().description;
            });
            return;
        }
        const std::string& bytes = data.value();
        if (bytes.empty()) {
            if (chunked) writeData("0\r\n\r\n", 5);
            return;
        }
        if (chunked) {
            char size[32];
            int length = std::snprintf(size, sizeof size, "%zx\r\n", bytes.size());
            std::string frame;
            frame.reserve(bytes.size() + static_cast<std::size_t>(length) + 2);
            frame.append(size, static_cast<std::size_t>(length));
            frame += bytes;
            frame += "\r\n";
            if (!writeData(frame.data(), frame.size())) return;
        } else if (!writeData(bytes.data(), bytes.size())) {
            return;
        }
    }
}

void WebServerConnection::abortRequest(const std::shared_ptr<WebServerRequest>& /*request*/, int statusCode) {
    m_statusCode = statusCode;
    std::string head = "HTTP/1.1 " + std::to_string(statusCode) + " " + reasonPhrase(statusCode) + "\r\n";
    head += "Connection: Close\r\n";
    head += "Server: " + headerSafe(m_server->serverName().empty() ? m_server->className() : m_server->serverName()) +
            "\r\n";
    head += "Date: " + WebServerHTTPDateString(foundation::Date::now()) + "\r\n\r\n";
    writeData(head.data(), head.size());
}

void WebServerConnection::close() {
    if (!WebServerIsLogging(LogLevel::verbose)) return;
    std::string counts = " (" + std::to_string(m_totalBytesRead) + " | " + std::to_string(m_totalBytesWritten) + ")";
    std::string prefix =
        "[" + localAddressString() + "] " + remoteAddressString() + " " + std::to_string(m_statusCode) + " ";
    if (m_request) {
        std::string method = m_virtualHEAD ? "HEAD" : m_request->method();
        WebServerLogText(LogLevel::verbose, prefix + "\"" + method + " " + m_request->path() + "\"" + counts);
    } else {
        WebServerLogText(LogLevel::verbose, prefix + "\"(invalid request)\"" + counts);
    }
}

}  // namespace reelhaven

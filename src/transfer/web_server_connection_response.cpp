// How WebServerConnection answers: the conditional-request rules, the response head and body,
// and the bare head of an aborted request.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <future>
#include <utility>

#include "transfer/web_server.h"
#include "transfer/web_server_connection.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"

namespace reelhaven {

namespace {

using base::LogLevel;

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
        case 431: return "Request Header Fields Too Large";
        case 500: return "Internal Server Error";
        case 501: return "Not Implemented";
        case 503: return "Service Unavailable";
        case 507: return "Insufficient Storage";
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

}  // namespace

std::shared_ptr<WebServerResponse> WebServerConnection::overrideResponse(
    const std::shared_ptr<WebServerResponse>& response, const std::shared_ptr<WebServerRequest>& request) {
    int status = response->statusCode();
    if (status < 200 || status > 299) return response;
    bool unchanged = false;
    if (response->lastModifiedDate() && request->ifModifiedSince()) {
        // HTTP dates have whole seconds: compare at that precision.
        double modified = std::floor(response->lastModifiedDate()->timeIntervalSince1970);
        unchanged = modified <= request->ifModifiedSince()->timeIntervalSince1970;
    }
    // Also when the date test failed: a stale date does not outweigh a matching tag.
    if (!unchanged && response->eTag() && request->ifNoneMatch()) {
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
    if (writeAnswerHead(head) && opened) writeBody(*response);
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
               (result.status == net::IoStatus::timedOut ? std::string("no progress")
                                                         : WebServerErrnoText(result.errnum));
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
                       (result.status == net::IoStatus::failed ? WebServerErrnoText(result.errnum)
                                                               : std::string("no progress"));
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
    writeAnswerHead(head);
}

bool WebServerConnection::writeAnswerHead(const std::string& head) {
    leaveShare();
    return writeData(head.data(), head.size());
}

void WebServerConnection::leaveShare() {
    if (!m_leftShare.exchange(true) && willLeaveShare) willLeaveShare();
}

}  // namespace reelhaven

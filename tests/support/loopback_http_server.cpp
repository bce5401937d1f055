#include "support/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace testing_support {

namespace {

// The type a web server gives by the name's extension, as players rely on for playlists.
std::string contentType(const std::string& name) {
    static const std::pair<const char*, const char*> types[] = {{".m3u", "audio/mpegurl"},
                                                                {".m3u8", "application/vnd.apple.mpegurl"},
                                                                {".pls", "audio/x-scpls"},
                                                                {".mp4", "video/mp4"}};
    for (const auto& [extension, type] : types) {
        const std::string suffix(extension);
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return type;
    }
    return "application/octet-stream";
}

bool sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0) throw std::runtime_error("no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on the loopback address");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    m_stopping = true;
    ::shutdown(m_listener, SHUT_RDWR);
    m_acceptor.join();
    ::close(m_listener);
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(m_mutex);
        connections.swap(m_connections);
    }
    for (auto& connection : connections) connection.join();
}

void LoopbackHttpServer::serve(const std::string& name, std::string body) {
    std::lock_guard lock(m_mutex);
    m_bodies[name] = std::move(body);
}

void LoopbackHttpServer::serveFile(const std::string& name, const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    serve(name, bytes.str());
}

std::string LoopbackHttpServer::url(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/" + name;
}

int LoopbackHttpServer::requests(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    auto found = m_requests.find(name);
    return found == m_requests.end() ? 0 : found->second;
}

void LoopbackHttpServer::acceptLoop() {
    while (!m_stopping) {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (m_stopping) return;
            continue;
        }
        std::lock_guard lock(m_mutex);
        m_connections.emplace_back([this, connection] { answer(connection); });
    }
}

void LoopbackHttpServer::answer(int connection) {
    // The request head, read until its blank line; a client that sends none within a while (or a
    // server that stops) is let go.
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        pollfd ready{connection, POLLIN, 0};
        if (m_stopping || ::poll(&ready, 1, 100) < 0) break;
        if (!(ready.revents & (POLLIN | POLLHUP))) continue;
        const ssize_t n = ::recv(connection, buffer, sizeof(buffer), 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<size_t>(n));
    }
    std::string method, target;
    std::istringstream(head) >> method >> target;
    const std::string name = target.empty() ? std::string() : target.substr(1);
    std::string response;
    {
        std::lock_guard lock(m_mutex);
        ++m_requests[name];
        auto found = m_bodies.find(name);
        if (found == m_bodies.end()) {
            response = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        } else {
            // A range from a byte on ("bytes=N-" or "bytes=N-M"), as players ask for to seek.
            const std::string& body = found->second;
            size_t first = 0, last = body.empty() ? 0 : body.size() - 1;
            bool ranged = false;
            if (auto at = head.find("\r\nRange: bytes="); at != std::string::npos) {
                unsigned long long from = 0, to = 0;
                const int read = std::sscanf(head.c_str() + at + 15, "%llu-%llu", &from, &to);
                if (read >= 1 && from < body.size()) {
                    ranged = true;
                    first = from;
                    if (read == 2 && to < last) last = to;
                }
            }
            const std::string part = body.empty() ? std::string() : body.substr(first, last - first + 1);
            response = std::string(ranged ? "HTTP/1.1 206 Partial Content" : "HTTP/1.1 200 OK") +
                       "\r\nContent-Length: " + std::to_string(part.size()) + "\r\nAccept-Ranges: bytes\r\n";
            if (ranged)
                response += "Content-Range: bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
                            std::to_string(body.size()) + "\r\n";
            response += "Content-Type: " + contentType(name) + "\r\nConnection: close\r\n\r\n";
            if (method != "HEAD") response += part;
        }
    }
    sendAll(connection, response);
    ::shutdown(connection, SHUT_WR);
    ::close(connection);
}

}  // namespace testing_support

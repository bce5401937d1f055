#include "transfer_test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace transfer_testing {

std::string HttpResponse::header(const std::string& name) const {
    auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

HttpResponse parseResponse(const std::string& raw) {
    HttpResponse response;
    response.raw = raw;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = raw.find("\r\n\r\n", start);
        if (end == std::string::npos || raw.compare(start, 9, "HTTP/1.1 ") != 0) return response;
        response.status = std::stoi(raw.substr(start + 9, 3));
        if (response.status == 100) {
            start = end + 4;
            continue;
        }
        std::size_t line = raw.find("\r\n", start) + 2;
        while (line < end) {
            std::size_t next = raw.find("\r\n", line);
            std::string text = raw.substr(line, next - line);
            std::size_t colon = text.find(':');
            std::string name = text.substr(0, colon);
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            std::string value = text.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') value.erase(0, 1);
            response.headers[name] = value;
            line = next + 2;
        }
        response.body = raw.substr(end + 4);
        return response;
    }
}

int connectTo(std::uint16_t port, int family) {
    int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int result;
    if (family == AF_INET6) {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        address.sin6_addr = in6addr_loopback;
        result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } else {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t count = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

std::string readAll(int fd, std::chrono::milliseconds timeout, bool* reset) {
    std::string data;
    char buffer[65536];
    if (reset) *reset = false;
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(timeout.count())) <= 0) return data;
        ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count > 0) {
            data.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && reset) *reset = errno == ECONNRESET;
        return data;
    }
}

std::string exchange(std::uint16_t port, const std::string& request, int family) {
    int fd = connectTo(port, family);
    if (fd < 0) return "";
    sendAll(fd, request);
    std::string response = readAll(fd);
    ::close(fd);
    return response;
}

std::string runCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        if (status) *status = -1;
        return output;
    }
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    int result = ::pclose(pipe);
    if (status) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

std::string shellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace transfer_testing

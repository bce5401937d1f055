#include "support/reach_watch.h"

#include <netinet/in.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace testing_support {

int freeUdpPort() {
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(probe);
    return bound ? ntohs(address.sin_port) : -1;
}

bool udpPortBound(int port) {
    char hex[8];
    std::snprintf(hex, sizeof hex, ":%04X ", port);
    for (const char* table : {"/proc/net/udp", "/proc/net/udp6"}) {
        std::ifstream lines(table);
        for (std::string line; std::getline(lines, line);) {
            // "  sl  local_address rem_address ...": the local address is the second field.
            const auto local = line.find(':', line.find(':') + 1);
            if (local != std::string::npos && line.compare(local, 6, hex) == 0) return true;
        }
    }
    return false;
}

FileOpenWatch::FileOpenWatch(const std::filesystem::path& file) {
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0 || ::inotify_add_watch(m_fd, file.c_str(), IN_OPEN) < 0)
        throw std::runtime_error("cannot watch " + file.string());
}

FileOpenWatch::~FileOpenWatch() {
    if (m_fd >= 0) ::close(m_fd);
}

bool FileOpenWatch::opened() {
    alignas(inotify_event) char events[4096];
    for (ssize_t length; (length = ::read(m_fd, events, sizeof events)) > 0;) {
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            m_opened = m_opened || (event->mask & IN_OPEN);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return m_opened;
}

void FileOpenWatch::clear() {
    opened();
    m_opened = false;
}

}  // namespace testing_support

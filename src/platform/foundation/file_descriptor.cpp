#include "platform/foundation/file_descriptor.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace foundation {

void FileDescriptor::reset() {
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
}

Status FileDescriptor::writeAll(std::string_view bytes) const {
    while (!bytes.empty()) {
        ssize_t count = ::write(m_fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return Error::posix(errno, "write");
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return {};
}

Result<bool> FileDescriptor::readAll(std::string& into, std::string_view what, std::size_t limit) const {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return Error::posix(errno, "read " + std::string(what));
        if (count == 0) return true;
        if (static_cast<std::size_t>(count) > limit - std::min(limit, into.size())) return false;
        into.append(buffer, static_cast<std::size_t>(count));
    }
}

Status FileDescriptor::close() {
    if (m_fd < 0) return {};
    if (::close(std::exchange(m_fd, -1)) != 0 && errno != EINTR) return Error::posix(errno, "close");
    return {};
}

}  // namespace foundation

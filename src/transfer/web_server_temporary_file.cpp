#include "transfer/web_server_temporary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/foundation/container.h"
#include "transfer/web_server_body_writer.h"

namespace reelhaven {

std::string WebServerTemporaryFile::directory() {
    if (auto container = foundation::Container::current()) {
        return container->folder(foundation::SearchPathDirectory::temporary).string();
    }
    std::error_code error;
    auto path = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : path.string();
}

foundation::Result<WebServerTemporaryFile> WebServerTemporaryFile::create() {
    std::string pattern = directory() + "/WebServer-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return WebServerPOSIXError(errno);
    fchmod(fd, 0644);
    return WebServerTemporaryFile(fd, std::string(name.data()));
}

WebServerTemporaryFile::WebServerTemporaryFile(WebServerTemporaryFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::exchange(other.m_path, std::string())) {}

WebServerTemporaryFile::~WebServerTemporaryFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_path.empty()) ::unlink(m_path.c_str());
}

foundation::Status WebServerTemporaryFile::write(std::string_view data) {
    if (m_fd < 0) return WebServerPOSIXError(EBADF);
    while (!data.empty()) {
        ssize_t count = ::write(m_fd, data.data(), data.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return WebServerPOSIXError(errno);
        }
        data.remove_prefix(static_cast<std::size_t>(count));
    }
    return {};
}

foundation::Status WebServerTemporaryFile::close() {
    if (m_fd < 0) return {};
    int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) return WebServerPOSIXError(errno);
    return {};
}

std::string WebServerTemporaryFile::keep() {
    [[maybe_unused]] auto closed = close();
    return std::exchange(m_path, std::string());
}

}  // namespace reelhaven

#include "transfer/web_server_temporary_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/foundation/container.h"
#include "transfer/web_server_body_writer.h"

namespace reelhaven {

namespace {

constexpr std::string_view kNamePrefix = "WebServer-";

// The temporary files of this process that are still in use, so that cleaning up stale ones never
// takes a file from a running upload.
struct LiveFiles {
    std::mutex mutex;  // guards `paths`
    std::set<std::string> paths;

    static LiveFiles& shared() {
        static auto* files = new LiveFiles();  // never destroyed: connection threads may outlive exit
        return *files;
    }
    void add(const std::string& path) {
        std::lock_guard lock(mutex);
        paths.insert(path);
    }
    void remove(const std::string& path) {
        std::lock_guard lock(mutex);
        paths.erase(path);
    }
};

// The process that made a file, from its name after the prefix ("<pid>-XXXXXX").
std::optional<pid_t> ownerOf(std::string_view name) {
    pid_t pid = 0;
    auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || end == name.data() || end == name.data() + name.size() || *end != '-') return {};
    return pid;
}

bool isRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

std::string WebServerTemporaryFile::directory() {
    if (auto container = foundation::Container::current()) {
        return container->folder(foundation::SearchPathDirectory::temporary).string();
    }
    std::error_code error;
    auto path = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : path.string();
}

foundation::Result<WebServerTemporaryFile> WebServerTemporaryFile::create() {
    // The process id in the name tells a later cleanup whether the owner still runs.
    std::string pattern = directory() + "/" + std::string(kNamePrefix) + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    LiveFiles& live = LiveFiles::shared();
    // Registered while the name is made, so a cleanup running meanwhile cannot take it.
    std::lock_guard lock(live.mutex);
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return WebServerPOSIXError(errno);
    fchmod(fd, 0644);
    live.paths.insert(name.data());
    return WebServerTemporaryFile(fd, std::string(name.data()));
}

WebServerTemporaryFile::WebServerTemporaryFile(WebServerTemporaryFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::exchange(other.m_path, std::string())) {}

WebServerTemporaryFile::~WebServerTemporaryFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_path.empty()) discard(m_path);
}

void WebServerTemporaryFile::discard(const std::string& path) {
    ::unlink(path.c_str());
    LiveFiles::shared().remove(path);
}

std::size_t WebServerTemporaryFile::removeStale(const std::string& folder) {
    std::error_code error;
    std::size_t removed = 0;
    LiveFiles& live = LiveFiles::shared();
    for (auto it = std::filesystem::directory_iterator(folder, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!name.starts_with(kNamePrefix)) continue;
        auto owner = ownerOf(std::string_view(name).substr(kNamePrefix.size()));
        if (owner && *owner != ::getpid() && isRunning(*owner)) continue;
        std::lock_guard lock(live.mutex);
        if (live.paths.count(it->path().string()) != 0) continue;
        if (::unlink(it->path().c_str()) == 0) ++removed;
    }
    return removed;
}

bool WebServerTemporaryFile::ownerHasEnded(std::string_view name) {
    auto owner = ownerOf(name);
    return !owner || (*owner != ::getpid() && !isRunning(*owner));
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

#include "transfer/web_server_temporary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/foundation/container.h"
#include "transfer/web_server_body_writer.h"
#include "transfer/web_server_process_run.h"

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

// What mkostemp puts after the run: six letters or digits.
bool isTemporarySuffix(std::string_view rest) {
    return rest.size() == 6 && std::all_of(rest.begin(), rest.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

// The library's state files (progress, scenes, thumbnails) must still fit beside a full upload.
std::atomic<std::uint64_t> minimumFree = 64ull * 1024 * 1024;

// The free space is asked again after at most this much, so uploads running side by side each
// see what the others took.
constexpr std::uint64_t kMaxRoomPerCheck = 64ull * 1024 * 1024;

// Bytes that may still be written to the file system of `fd` (or of `path` when `fd` is -1) with
// the minimum left free; nothing when the system cannot tell.
std::optional<std::uint64_t> roomLeft(int fd, const std::string& path) {
    struct statvfs info {};
    if ((fd >= 0 ? ::fstatvfs(fd, &info) : ::statvfs(path.c_str(), &info)) != 0) return std::nullopt;
    std::uint64_t available = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    std::uint64_t keep = minimumFree.load();
    return available > keep ? available - keep : 0;
}

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
    // The process run in the name tells a later cleanup whether the owner still runs.
    std::string pattern = directory() + "/" + std::string(kNamePrefix) + WebServerProcessRun::current() + "-XXXXXX";
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
        // Only names this program makes: the folder may be a shared one such as /tmp.
        auto named = WebServerProcessRun::ownerOf(std::string_view(name).substr(kNamePrefix.size()));
        if (!named || !isTemporarySuffix(named->rest)) continue;
        if (named->owner == WebServerProcessRun::Owner::otherLiveRun) continue;
        std::lock_guard lock(live.mutex);
        if (live.paths.count(it->path().string()) != 0) continue;
        if (::unlink(it->path().c_str()) == 0) ++removed;
    }
    return removed;
}

std::uint64_t WebServerTemporaryFile::minimumFreeSpace() { return minimumFree.load(); }

void WebServerTemporaryFile::setMinimumFreeSpace(std::uint64_t bytes) { minimumFree = bytes; }

foundation::Status WebServerTemporaryFile::checkRoomFor(std::uint64_t bytes) {
    auto room = roomLeft(-1, directory());
    if (room && *room < bytes) return WebServerPOSIXError(ENOSPC);
    return {};
}

foundation::Status WebServerTemporaryFile::write(std::string_view data) {
    if (m_fd < 0) return WebServerPOSIXError(EBADF);
    if (data.size() > m_room) {
        // Counted on what is written, so a body that grows on its way (decoded) counts in full.
        auto room = roomLeft(m_fd, m_path);
        if (room && *room < data.size()) return WebServerPOSIXError(ENOSPC);
        m_room = room ? std::min(*room, kMaxRoomPerCheck) : kMaxRoomPerCheck;
    }
    m_room -= std::min<std::uint64_t>(m_room, data.size());
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

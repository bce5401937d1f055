#include "core/refused_media.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

namespace reelhaven {

std::optional<RefusedMedia::Identity> RefusedMedia::identityOf(int descriptor) {
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return Identity{info.st_dev, info.st_ino, static_cast<std::int64_t>(info.st_size),
                    static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::shared_ptr<RefusedMedia> RefusedMedia::at(const std::string& path) {
    // Never destroyed: metadata jobs may still ask while the process exits.
    static auto& mutex = *new std::mutex;
    static auto& stores = *new std::map<std::string, std::weak_ptr<RefusedMedia>>;
    std::lock_guard lock(mutex);
    auto& kept = stores[path];
    auto store = kept.lock();
    if (!store) {
        store = std::make_shared<RefusedMedia>(path);
        kept = store;
    }
    return store;
}

RefusedMedia::RefusedMedia(std::string path) : m_path(std::move(path)) {}

bool RefusedMedia::contains(const Identity& identity) {
    std::lock_guard lock(m_mutex);
    loadOnce();
    return std::find(m_entries.begin(), m_entries.end(), identity) != m_entries.end();
}

void RefusedMedia::add(const Identity& identity) {
    std::lock_guard lock(m_mutex);
    loadOnce();
    if (m_entries.size() >= kMostEntries || std::find(m_entries.begin(), m_entries.end(), identity) != m_entries.end())
        return;
    m_entries.push_back(identity);
    // One line appended in one write: listings side by side each add whole lines.
    std::ostringstream line;
    line << identity.device << ' ' << identity.inode << ' ' << identity.size << ' ' << identity.modifiedNanoseconds
         << '\n';
    const std::string text = line.str();
    const int file = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (file < 0) return;
    [[maybe_unused]] const ssize_t written = ::write(file, text.data(), text.size());
    ::close(file);
}

void RefusedMedia::loadOnce() {
    if (m_loaded) return;
    m_loaded = true;
    std::ifstream file(m_path);
    // A line longer than any entry is no entry; reading stops at the count kept.
    std::string line;
    while (m_entries.size() < kMostEntries && std::getline(file, line)) {
        if (line.size() > 100) continue;
        std::istringstream fields(line);
        unsigned long long device = 0;
        unsigned long long inode = 0;
        Identity identity;
        if (fields >> device >> inode >> identity.size >> identity.modifiedNanoseconds) {
            identity.device = static_cast<dev_t>(device);
            identity.inode = static_cast<ino_t>(inode);
            m_entries.push_back(identity);
        }
    }
}

}  // namespace reelhaven

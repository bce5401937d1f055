#include "transfer/web_uploader_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/base/log.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/path_names.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"
#include "transfer/web_uploader_names.h"
#include "transfer/web_uploader_staging.h"

namespace reelhaven {

namespace {

constexpr int kMaxNameAttempts = 10000;

std::optional<std::string> realPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
    return std::string(resolved);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string parentOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

WebUploaderFileSystem::WebUploaderFileSystem(std::string root) : m_root(std::move(root)) {
    while (m_root.size() > 1 && m_root.back() == '/') m_root.pop_back();
    m_canonicalRoot = realPath(m_root).value_or(m_root);
}

std::string WebUploaderFileSystem::absolutePath(const std::string& relative) const {
    std::string cleaned = WebServerCleanPath(relative);
    while (cleaned.starts_with('/')) cleaned.erase(0, 1);
    if (cleaned.empty()) return m_root;
    // Component by component, a name a listing escaped stands for the name on disk it was made
    // from (the escaping is one to one).
    std::string path = m_root;
    for (std::size_t start = 0; start <= cleaned.size();) {
        std::size_t end = cleaned.find('/', start);
        if (end == std::string::npos) end = cleaned.size();
        std::string component = cleaned.substr(start, end - start);
        if (auto onDisk = WebUploaderNames::unescaped(component)) component = std::move(*onDisk);
        path += "/" + component;
        start = end + 1;
    }
    return path;
}

std::optional<std::string> WebUploaderFileSystem::resolved(const std::string& absolute) const {
    if (exists(absolute)) return realPath(absolute);
    // A new item: its nearest existing ancestor decides. Missing folders in between make the
    // operation itself fail (a 500 naming the error), not a refusal.
    std::string ancestor = parentOf(absolute);
    while (!exists(ancestor) && ancestor.size() > m_root.size()) ancestor = parentOf(ancestor);
    return realPath(ancestor);
}

bool WebUploaderFileSystem::staysInside(const std::string& absolute) const {
    auto path = resolved(absolute);
    return path && (*path == m_canonicalRoot || path->starts_with(m_canonicalRoot + "/"));
}

namespace {

// The first component of `path` below `root` that begins with ".".
std::optional<std::string> hiddenBelow(const std::string& path, const std::string& root) {
    std::string prefix = root.ends_with('/') ? root : root + "/";
    if (!path.starts_with(prefix)) return std::nullopt;
    std::string_view rest = std::string_view(path).substr(prefix.size());
    while (!rest.empty()) {
        std::string_view name = rest.substr(0, rest.find('/'));
        if (name.starts_with('.')) return std::string(name);
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> WebUploaderFileSystem::hiddenComponent(const std::string& absolute) const {
    if (auto hidden = hiddenBelow(absolute, m_root)) return hidden;
    // A plainly named link may lead into a hidden folder.
    auto path = resolved(absolute);
    return path ? hiddenBelow(*path, m_canonicalRoot) : std::nullopt;
}

bool WebUploaderFileSystem::isSameEntry(const std::string& a, const std::string& b) {
    if (a == b) return true;
    if (lastPathComponent(a) != lastPathComponent(b)) return false;
    auto folderOfA = realPath(parentOf(a));
    auto folderOfB = realPath(parentOf(b));
    return folderOfA && folderOfB && *folderOfA == *folderOfB;
}

bool WebUploaderFileSystem::movesFolderIntoItself(const std::string& source, const std::string& destination) const {
    struct stat info {};
    if (::lstat(source.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    auto folder = realPath(source);
    // The new entry is made in the destination's folder; a missing one is judged by its nearest
    // existing ancestor.
    auto place = resolved(parentOf(destination));
    return folder && place && (*place == *folder || place->starts_with(*folder + "/"));
}

void WebUploaderFileSystem::DirectoryContents::add(std::string_view name, EntryType type, std::uint64_t size) {
    entries.push_back(
        {static_cast<std::uint32_t>(m_names.size()), static_cast<std::uint32_t>(name.size()), type, size});
    m_names += name;
}

foundation::Result<WebUploaderFileSystem::DirectoryContents> WebUploaderFileSystem::contentsOfDirectory(
    const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (!folder) return foundation::Error::posix(errno, path);
    DirectoryContents contents;
    errno = 0;
    while (dirent* item = ::readdir(folder)) {
        std::string_view name = item->d_name;
        if (name == "." || name == "..") continue;
        EntryType type = EntryType::other;
        std::uint64_t size = 0;
        struct stat info {};
        // Relative to the open folder: no path resolution per entry.
        if (::fstatat(::dirfd(folder), item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISREG(info.st_mode)) {
                type = EntryType::file;
                size = static_cast<std::uint64_t>(info.st_size);
            } else if (S_ISDIR(info.st_mode)) {
                type = EntryType::directory;
            }
        }
        contents.add(name, type, size);
        errno = 0;
    }
    int error = errno;
    ::closedir(folder);
    if (error != 0) return foundation::Error::posix(error, path);
    return contents;
}

std::string WebUploaderFileSystem::lastPathComponent(const std::string& path) {
    return std::string(foundation::lastPathComponentOf(path));
}

std::string WebUploaderFileSystem::pathExtension(const std::string& name) {
    return std::string(foundation::pathExtensionOf(name));
}

std::string WebUploaderFileSystem::uniquePath(const std::string& path) {
    if (!exists(path)) return path;
    std::string folder = parentOf(path);
    std::string name = lastPathComponent(path);
    for (int n = 1;; ++n) {
        std::string candidate = folder + "/" + foundation::numberedName(name, n);
        if (!exists(candidate) || n >= kMaxNameAttempts) return candidate;
    }
}

namespace {

bool onSameFileSystem(const std::string& path, const std::string& folder) {
    struct stat item {};
    struct stat target {};
    // When either cannot be read the move itself reports why.
    if (::lstat(path.c_str(), &item) != 0 || ::stat(folder.c_str(), &target) != 0) return true;
    return item.st_dev == target.st_dev;
}

// Renames (same filesystem) `source` to the unique path for `destination`, picking the next free
// name when another item takes the name meanwhile; never replaces an item.
foundation::Result<std::string> renameToUniquePath(const std::string& source, const std::string& destination) {
    auto& files = foundation::FileManager::defaultManager();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string target = WebUploaderFileSystem::uniquePath(destination);
        auto moved = files.moveItem(foundation::URL::fileURLWithPath(source), foundation::URL::fileURLWithPath(target));
        if (moved) return target;
        // Another request took the name between the check and the move: pick the next one.
        if (!moved.error().isPOSIX(EEXIST) && moved.error().code != foundation::kErrorFileExists) return moved.error();
    }
    return foundation::Error::posix(EEXIST, destination);
}

// Copies `source` to a new hidden name in `folder`, which no listing shows while the copy grows.
foundation::Result<std::string> stageCopy(const std::string& source, const std::string& folder) {
    auto& files = foundation::FileManager::defaultManager();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string staged = folder + "/" + WebUploaderStaging::newName();
        auto copied =
            files.copyItem(foundation::URL::fileURLWithPath(source), foundation::URL::fileURLWithPath(staged));
        if (copied) return staged;
        if (!copied.error().isPOSIX(EEXIST)) return copied.error();
    }
    return foundation::Error::posix(EEXIST, folder);
}

}  // namespace

foundation::Result<std::string> WebUploaderFileSystem::moveToUniquePath(const std::string& source,
                                                                        const std::string& destination) {
    std::string folder = parentOf(destination);
    if (onSameFileSystem(source, folder)) return renameToUniquePath(source, destination);
    // Across filesystems the bytes are copied. Copied straight into the final name, a growing (or,
    // after a crash, truncated) file would be listed and downloaded as if complete: it is copied
    // under a hidden name first and renamed into place once whole.
    auto staged = stageCopy(source, folder);
    if (!staged) return staged.error();
    auto& files = foundation::FileManager::defaultManager();
    auto placed = renameToUniquePath(staged.value(), destination);
    if (!placed) {
        (void)files.removeItem(foundation::URL::fileURLWithPath(staged.value()));
        return placed.error();
    }
    if (auto removed = files.removeItem(foundation::URL::fileURLWithPath(source)); !removed) {
        // The item is in place; only its old copy stays behind.
        WebServerLogText(base::LogLevel::warning, "Cannot remove moved item: " + removed.error().description);
    }
    return placed;
}

foundation::Result<std::string> WebUploaderFileSystem::createUniqueDirectory(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string target = uniquePath(path);
        if (::mkdir(target.c_str(), 0755) == 0) return target;
        if (errno != EEXIST) return foundation::Error::posix(errno, target);
    }
    return foundation::Error::posix(EEXIST, path);
}

}  // namespace reelhaven

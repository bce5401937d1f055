#include "platform/foundation/file_manager.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/foundation/file_descriptor.h"

// Listing, attributes, folders and whole-file reads and writes. Moves, copies and removal are in
// file_manager_move.cpp.

namespace foundation {

namespace {

FileType typeFromMode(mode_t mode) {
    if (S_ISREG(mode)) return FileType::regular;
    if (S_ISDIR(mode)) return FileType::directory;
    if (S_ISLNK(mode)) return FileType::symbolicLink;
    return FileType::other;
}

Date dateFrom(const struct statx_timestamp& time) {
    return Date{static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9};
}

struct DirectoryEntry {
    std::string name;
    bool isDirectory = false;
};

// The entries of a folder sorted by name, without "." and "..".
Result<std::vector<DirectoryEntry>> readDirectory(const std::string& path, HiddenFiles hidden) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
    if (!dir) return Error::posix(errno, "list " + path);
    std::vector<DirectoryEntry> entries;
    errno = 0;
    while (struct dirent* entry = ::readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (hidden == HiddenFiles::skip && name.front() == '.') continue;
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isDirectory =
                ::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
        }
        entries.push_back({std::move(name), isDirectory});
        errno = 0;
    }
    if (errno != 0) return Error::posix(errno, "list " + path);
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
    return entries;
}

URL childURL(const URL& folder, const DirectoryEntry& entry) {
    return folder.appendingPathComponent(entry.name, entry.isDirectory ? PathKind::directory : PathKind::file);
}

// Appends the entries of one folder, and below each sub-folder its own entries. Returns false
// when the error handler asked to stop.
bool enumerateEntries(const URL& folder, const std::vector<DirectoryEntry>& entries, const EnumerationOptions& options,
                      const std::function<bool(const URL&, const Error&)>& onError, std::vector<URL>& out) {
    for (const auto& entry : entries) {
        URL child = childURL(folder, entry);
        out.push_back(child);
        if (!entry.isDirectory || options.skipsSubdirectoryDescendants) continue;
        auto children = readDirectory(child.path(), options.hiddenFiles);
        if (!children) {
            if (onError && !onError(child, children.error())) return false;
            continue;
        }
        if (!enumerateEntries(child, *children, options, onError, out)) return false;
    }
    return true;
}

}  // namespace

std::optional<Error> FileManager::requireFileURL(const URL& url) {
    if (url.isFileURL() && !url.path().empty()) return std::nullopt;
    return Error::foundation(kErrorUnsupported, "not a file URL: " + url.absoluteString());
}

FileManager& FileManager::defaultManager() {
    static FileManager manager;
    return manager;
}

Result<URL> FileManager::url(SearchPathDirectory directory, Intermediates create) const {
    auto container = Container::current();
    if (!container) return Error::foundation(kErrorNoContainer, "no container installed");
    URL folder = container->url(directory);
    if (create == Intermediates::create) {
        if (auto status = createDirectory(folder, Intermediates::create); !status) return status.error();
    }
    return folder;
}

Result<std::vector<URL>> FileManager::contentsOfDirectory(const URL& folder, HiddenFiles hidden) const {
    if (auto error = requireFileURL(folder)) return *error;
    auto entries = readDirectory(folder.path(), hidden);
    if (!entries) return entries.error();
    std::vector<URL> urls;
    urls.reserve(entries->size());
    for (const auto& entry : *entries) urls.push_back(childURL(folder, entry));
    return urls;
}

Result<std::vector<std::string>> FileManager::contentsOfDirectoryAtPath(const std::string& path) const {
    auto entries = readDirectory(path, HiddenFiles::include);
    if (!entries) return entries.error();
    std::vector<std::string> names;
    names.reserve(entries->size());
    for (auto& entry : *entries) names.push_back(std::move(entry.name));
    return names;
}

Result<std::vector<URL>> FileManager::enumerate(const URL& folder, EnumerationOptions options,
                                                const std::function<bool(const URL&, const Error&)>& onError) const {
    if (auto error = requireFileURL(folder)) return *error;
    auto top = readDirectory(folder.path(), options.hiddenFiles);
    if (!top) return top.error();
    std::vector<URL> urls;
    enumerateEntries(folder, *top, options, onError, urls);
    return urls;
}

bool FileManager::fileExists(const URL& url, bool* isDirectory) const {
    if (requireFileURL(url)) return false;
    return fileExistsAtPath(url.path(), isDirectory);
}

bool FileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    if (isDirectory) *isDirectory = S_ISDIR(info.st_mode);
    return true;
}

Result<FileType> FileManager::typeOfItem(const URL& url, SymbolicLinks links) const {
    if (auto error = requireFileURL(url)) return *error;
    struct stat info {};
    const int result =
        links == SymbolicLinks::follow ? ::stat(url.path().c_str(), &info) : ::lstat(url.path().c_str(), &info);
    if (result != 0) return Error::posix(errno, "stat " + url.path());
    return typeFromMode(info.st_mode);
}

Result<FileAttributes> FileManager::attributesOfItem(const URL& url) const {
    if (auto error = requireFileURL(url)) return *error;
    struct statx info {};
    if (::statx(AT_FDCWD, url.path().c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        return Error::posix(errno, "stat " + url.path());
    FileAttributes attributes;
    attributes.type = typeFromMode(info.stx_mode);
    attributes.size = info.stx_size;
    attributes.allocatedSize = attributes.type == FileType::regular ? info.stx_blocks * 512 : 0;
    attributes.modificationDate = dateFrom(info.stx_mtime);
    attributes.creationDate = (info.stx_mask & STATX_BTIME) ? dateFrom(info.stx_btime) : attributes.modificationDate;
    attributes.inode = info.stx_ino;
    attributes.device = makedev(info.stx_dev_major, info.stx_dev_minor);
    return attributes;
}

Result<std::uint64_t> FileManager::allocatedSize(const URL& url) const {
    if (auto error = requireFileURL(url)) return *error;
    struct stat info {};
    if (::lstat(url.path().c_str(), &info) != 0) return Error::posix(errno, "stat " + url.path());
    if (!S_ISREG(info.st_mode)) return std::uint64_t{0};
    return static_cast<std::uint64_t>(info.st_blocks) * 512;
}

Status FileManager::createDirectory(const URL& url, Intermediates intermediates) const {
    if (auto error = requireFileURL(url)) return *error;
    const std::string path = url.path();
    if (intermediates == Intermediates::no) {
        if (::mkdir(path.c_str(), 0755) != 0) return Error::posix(errno, "create folder " + path);
        return {};
    }
    // Create each missing folder from the top down; an existing folder is fine, an existing
    // non-folder is not.
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        std::string prefix = path.substr(0, end);
        if (::mkdir(prefix.c_str(), 0755) != 0) {
            int error = errno;
            struct stat info {};
            if (error != EEXIST || ::stat(prefix.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
                return Error::posix(error == EEXIST ? ENOTDIR : error, "create folder " + prefix);
        }
        if (end == std::string::npos) break;
    }
    return {};
}

Result<Data> FileManager::contentsOfFile(const URL& url) const {
    if (auto error = requireFileURL(url)) return *error;
    FileDescriptor file(::open(url.path().c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) return Error::posix(errno, "open " + url.path());
    Data data;
    if (auto read = file.readAll(data, url.path()); !read) return read.error();
    return data;
}

Status FileManager::writeFile(const URL& url, std::string_view bytes, WriteMode mode) const {
    if (auto error = requireFileURL(url)) return *error;
    const std::string path = url.path();
    if (mode == WriteMode::direct) {
        FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!file) return Error::posix(errno, "open " + path);
        if (auto status = file.writeAll(bytes); !status) return status;
        return file.close();
    }
    const std::string folder = url.deletingLastPathComponent().path();
    std::string temporary;
    FileDescriptor file;
    // Held until the rename, so a sweep of abandoned temporaries never takes this live one. A sweep
    // that came between the file's making and its lock has unlinked it: a new one is made.
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temporary = folder + "/" + temporaryPrefix(url) + "XXXXXX";
        file = FileDescriptor(::mkostemp(temporary.data(), O_CLOEXEC));
        if (!file) return Error::posix(errno, "create temporary file for " + path);
        ::flock(file.get(), LOCK_EX);
        struct stat info {};
        if (::fstat(file.get(), &info) == 0 && info.st_nlink > 0) break;
        file = FileDescriptor();
    }
    if (!file) return Error::posix(ENOENT, "create temporary file for " + path);
    auto fail = [&](Error error) -> Status {
        ::unlink(temporary.c_str());
        return error;
    };
    // mkostemp makes the file private; give it the mode of a direct write.
    if (::fchmod(file.get(), 0644) != 0) return fail(Error::posix(errno, "chmod " + temporary));
    if (auto status = file.writeAll(bytes); !status) return fail(status.error());
    if (::fsync(file.get()) != 0) return fail(Error::posix(errno, "sync " + temporary));
    if (::rename(temporary.c_str(), path.c_str()) != 0) return fail(Error::posix(errno, "replace " + path));
    // The bytes were synced, so the close has nothing left to lose.
    (void)file.close();
    // Make the rename itself durable; the data is already safe, so a failure here is not reported.
    if (FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); directory)
        ::fsync(directory.get());
    return {};
}

std::string FileManager::temporaryPrefix(const URL& url) {
    return "." + url.lastPathComponent().substr(0, kTemporaryNameLength) + ".";
}

Result<std::size_t> FileManager::removeAbandonedTemporaries(const URL& url) const {
    if (auto error = requireFileURL(url)) return *error;
    const std::string target = url.lastPathComponent().substr(0, kTemporaryNameLength);
    return removeAbandonedTemporaries(url.deletingLastPathComponent(),
                                      [&target](std::string_view name) { return name == target; });
}

Result<std::size_t> FileManager::removeAbandonedTemporaries(
    const URL& folderURL, const std::function<bool(std::string_view)>& isTarget) const {
    if (auto error = requireFileURL(folderURL)) return *error;
    const std::string folder = folderURL.path();
    auto names = contentsOfDirectoryAtPath(folder);
    if (!names) return names.error();
    constexpr std::size_t kRandomLength = 6;
    std::size_t removed = 0;
    for (const auto& name : *names) {
        // "." + target + "." + six random characters
        if (name.size() < kRandomLength + 3 || name.front() != '.' || name[name.size() - kRandomLength - 1] != '.')
            continue;
        if (!isTarget(std::string_view(name).substr(1, name.size() - kRandomLength - 2))) continue;
        const std::string candidate = folder + "/" + name;
        FileDescriptor file(::open(candidate.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
        struct stat info {};
        if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        // A writer still at work holds the lock; one that died released it with its process.
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (::unlink(candidate.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace foundation

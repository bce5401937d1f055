#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/base/log.h"
#include "platform/foundation/file_descriptor.h"
#include "platform/foundation/file_manager.h"  // IWYU pragma: associated

// Moves, copies and removal. None of them ever replaces an existing destination: moves use
// renameat2(RENAME_NOREPLACE), copies create every item exclusively (O_EXCL, mkdir, symlink).

namespace foundation {

namespace {

// Copies the "user." attributes (the item identity among them) from one open item to another.
// A destination filesystem without user attributes loses them; that is logged, not fatal.
void copyUserAttributes(int from, int to, const std::string& what) {
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0) return;
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::flistxattr(from, names.data(), names.size());
    if (size <= 0) return;
    for (std::size_t offset = 0; offset < static_cast<std::size_t>(size);) {
        std::string name(names.data() + offset);
        offset += name.size() + 1;
        if (name.rfind("user.", 0) != 0) continue;
        ssize_t length = ::fgetxattr(from, name.c_str(), nullptr, 0);
        if (length < 0) continue;
        std::vector<char> value(static_cast<std::size_t>(length));
        length = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (length < 0) continue;
        if (::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(length), 0) != 0) {
            base::log(base::LogLevel::warning, "foundation",
                      "cannot copy attribute " + name + " of " + what + ": " + std::strerror(errno));
        }
    }
}

// Copies the rest of one file into another: in the kernel where it can, else through a buffer.
Status copyBytes(int in, const FileDescriptor& out) {
    for (;;) {
        ssize_t count = ::copy_file_range(in, nullptr, out.get(), nullptr, 1 << 30, 0);
        if (count == 0) return {};
        if (count > 0) continue;
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
        return Error::posix(errno, "copy");
    }
    char buffer[128 * 1024];
    for (;;) {
        ssize_t count = ::read(in, buffer, sizeof buffer);
        if (count == 0) return {};
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return Error::posix(errno, "read");
        if (auto status = out.writeAll(std::string_view(buffer, static_cast<std::size_t>(count))); !status)
            return status;
    }
}

// Copies the open regular file `in` (named `source` in errors) from where it stands.
Status copyOpenFile(int in, const std::string& source, const std::string& destination, const struct stat& info) {
    FileDescriptor out(::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
    if (!out) return Error::posix(errno, "create " + destination);
    auto fail = [&](Error error) -> Status {
        out.reset();
        ::unlink(destination.c_str());
        return error;
    };
    if (auto status = copyBytes(in, out); !status) return fail(Error::posix(status.error().code, "copy " + source));
    copyUserAttributes(in, out.get(), destination);
    struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(out.get(), times);
    if (::fsync(out.get()) != 0) return fail(Error::posix(errno, "sync " + destination));
    if (auto status = out.close(); !status) return fail(status.error());
    return {};
}

Status copyRegularFile(const std::string& source, const std::string& destination, const struct stat& info) {
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in) return Error::posix(errno, "open " + source);
    return copyOpenFile(in.get(), source, destination, info);
}

Status removeTree(const std::string& path) {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    if (error) return Error::posix(error.value(), "remove " + path);
    return {};
}

Status copyTree(const std::string& source, const std::string& destination) {
    struct stat info {};
    if (::lstat(source.c_str(), &info) != 0) return Error::posix(errno, "stat " + source);
    if (S_ISREG(info.st_mode)) return copyRegularFile(source, destination, info);
    if (S_ISLNK(info.st_mode)) {
        std::vector<char> target(static_cast<std::size_t>(info.st_size) + 1);
        ssize_t length = ::readlink(source.c_str(), target.data(), target.size());
        if (length < 0) return Error::posix(errno, "read link " + source);
        std::string text(target.data(), static_cast<std::size_t>(length));
        if (::symlink(text.c_str(), destination.c_str()) != 0) return Error::posix(errno, "create link " + destination);
        return {};
    }
    if (!S_ISDIR(info.st_mode)) return Error::foundation(kErrorUnsupported, "cannot copy special file " + source);

    if (::mkdir(destination.c_str(), 0700) != 0) return Error::posix(errno, "create folder " + destination);
    // From here on the destination is ours: a failure removes the partial copy.
    auto fail = [&](Error error) -> Status {
        (void)removeTree(destination);
        return error;
    };
    auto names = FileManager::defaultManager().contentsOfDirectoryAtPath(source);
    if (!names) return fail(names.error());
    for (const auto& name : *names) {
        if (auto status = copyTree(source + "/" + name, destination + "/" + name); !status) return fail(status.error());
    }
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    FileDescriptor out(::open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (in && out) {
        copyUserAttributes(in.get(), out.get(), destination);
        struct timespec times[2] = {info.st_atim, info.st_mtim};
        ::futimens(out.get(), times);
    }
    if (::chmod(destination.c_str(), info.st_mode & 07777) != 0)
        return fail(Error::posix(errno, "chmod " + destination));
    return {};
}

}  // namespace

Status FileManager::moveItem(const URL& source, const URL& destination) const {
    if (auto error = requireFileURL(source)) return *error;
    if (auto error = requireFileURL(destination)) return *error;
    const std::string from = source.path();
    const std::string to = destination.path();
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    int error = errno;
    if (error == EINVAL) {
        // Filesystems without RENAME_NOREPLACE: refuse an existing destination, then rename. Also
        // the error for moving a folder into itself, which the check below keeps an error.
        struct stat info {};
        if (::lstat(to.c_str(), &info) == 0) return Error::posix(EEXIST, "move to " + to);
        std::string prefix = from + "/";
        if (to.rfind(prefix, 0) == 0) return Error::posix(EINVAL, "move " + from + " into itself");
        if (::rename(from.c_str(), to.c_str()) == 0) return {};
        return Error::posix(errno, "move " + from + " to " + to);
    }
    if (error != EXDEV) return Error::posix(error, "move " + from + " to " + to);

    // Across filesystems: copy (never replacing), then remove the source. When the source cannot
    // be removed completely the copy stays, so nothing is lost, and the failure is reported.
    if (auto status = copyTree(from, to); !status) return status;
    if (auto status = removeTree(from); !status) {
        base::log(base::LogLevel::error, "foundation",
                  "moved " + from + " but cannot remove it: " + status.error().description);
        return status;
    }
    return {};
}

Status FileManager::copyItem(const URL& source, const URL& destination) const {
    if (auto error = requireFileURL(source)) return *error;
    if (auto error = requireFileURL(destination)) return *error;
    const std::string from = source.path();
    const std::string to = destination.path();
    if (to.rfind(from + "/", 0) == 0) return Error::posix(EINVAL, "copy " + from + " into itself");
    return copyTree(from, to);
}

Status FileManager::copyOpenedFile(int descriptor, const std::string& source, const URL& destination) const {
    if (auto error = requireFileURL(destination)) return *error;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) return Error::posix(errno, "stat " + source);
    if (!S_ISREG(info.st_mode)) return Error::foundation(kErrorUnsupported, "cannot copy special file " + source);
    // From its start, whatever was read of it before.
    if (::lseek(descriptor, 0, SEEK_SET) != 0) return Error::posix(errno, "seek " + source);
    return copyOpenFile(descriptor, source, destination.path(), info);
}

Status FileManager::removeItem(const URL& url) const {
    if (auto error = requireFileURL(url)) return *error;
    const std::string path = url.path();
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return Error::posix(errno, "remove " + path);
    return removeTree(path);
}

}  // namespace foundation

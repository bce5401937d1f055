#include "core/local_file_kind.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace reelhaven {

LocalFileKind localFileKind(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return LocalFileKind::missing;
    // A link anywhere on the way (/dev/stdin, /dev/fd/3, a link named like a video) is judged by
    // where it leads.
    struct statfs filesystem {};
    if (::statfs(path.c_str(), &filesystem) == 0 &&
        (filesystem.f_type == PROC_SUPER_MAGIC || filesystem.f_type == SYSFS_MAGIC))
        return LocalFileKind::systemFile;
    if (S_ISREG(info.st_mode)) return LocalFileKind::regularFile;
    if (S_ISDIR(info.st_mode)) return LocalFileKind::folder;
    if (S_ISFIFO(info.st_mode)) return LocalFileKind::fifo;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return LocalFileKind::device;
    if (S_ISSOCK(info.st_mode)) return LocalFileKind::socket;
    return LocalFileKind::other;
}

std::string_view localFileProblem(LocalFileKind kind) {
    switch (kind) {
        case LocalFileKind::regularFile: return "";
        case LocalFileKind::missing: return "no such file";
        case LocalFileKind::folder: return "it is a folder, not a file";
        case LocalFileKind::fifo: return "it is a FIFO (a named pipe), not a file";
        case LocalFileKind::device: return "it is a device, not a file";
        case LocalFileKind::socket: return "it is a socket, not a file";
        case LocalFileKind::systemFile: return "it is one of the system's files (/proc, /sys), not a file to play";
        case LocalFileKind::other: return "it is no regular file";
    }
    return "it is no regular file";
}

}  // namespace reelhaven

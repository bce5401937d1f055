#include "core/local_file_kind.h"

namespace reelhaven {

LocalFileKind localFileKind(const std::string& path) { return foundation::OpenedFile::open(path).kind(); }

std::string_view localFileProblem(LocalFileKind kind) {
    switch (kind) {
        case LocalFileKind::regularFile: return "";
        case LocalFileKind::missing: return "no such file";
        case LocalFileKind::unreadable: return "it cannot be read";
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

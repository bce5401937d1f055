#pragma once

#include <string>

#include "platform/foundation/error.h"
#include "platform/foundation/file_descriptor.h"
#include "platform/foundation/url.h"

namespace foundation {

// An item handed in from outside, opened once for reading. What it is (its type and the file
// system it lies on) is read from the open descriptor, and a copy is made from that same
// descriptor: a link that is changed between a check by name and a copy by name could otherwise
// have the check pass on a video and the copy take whatever the link leads to by then.
// Links are followed on purpose: a link to a video is taken as the video.
class OpenedFile {
public:
    enum class Kind { regularFile, missing, unreadable, folder, fifo, device, socket, systemFile, other };

    // Opens `path` without blocking (a FIFO without a writer opens at once) and without taking a
    // terminal; a device or a socket that `stat` shows is judged without being opened at all.
    static OpenedFile open(const std::string& path);

    Kind kind() const { return m_kind; }
    // Copies the file, from its start, into a new file at `destination` (never replacing one; an
    // existing name fails with EEXIST), with its mode, times and user attributes; a partial copy
    // is removed. Only a `regularFile` is copied.
    Status copyTo(const URL& destination) const;

private:
    OpenedFile(std::string path, FileDescriptor file, Kind kind)
        : m_path(std::move(path)), m_file(std::move(file)), m_kind(kind) {}

    std::string m_path;
    FileDescriptor m_file;
    Kind m_kind = Kind::missing;
};

// Whether a `statfs` f_type names one of the kernel's own file systems (proc, sysfs, cgroup,
// debugfs, ...), whose "files" are the system's live state rather than anything stored.
bool isKernelFileSystem(unsigned long type);

}  // namespace foundation

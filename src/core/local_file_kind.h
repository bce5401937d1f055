#pragma once

#include <string>
#include <string_view>

#include "platform/foundation/opened_file.h"

namespace reelhaven {

// What a path handed to the app from outside names, as far as playing it or taking it into the
// library goes. Only a regular file (or a link to one) is a file to play or keep: a folder would
// be moved with its whole tree, a pipe or a device would hang or never end whoever reads it, and
// a file of the kernel's own file systems (/proc, /sys, cgroup, debugfs, ...) is the system's
// state (a process's environment, its memory map), which must not be copied where the transfer
// server serves it. Judged on the opened item (foundation::OpenedFile), never by a second look
// at its name.
using LocalFileKind = foundation::OpenedFile::Kind;

// The kind of what `path` names, following links. Never blocks.
LocalFileKind localFileKind(const std::string& path);

// Why a path of that kind is refused, as a message's end after "cannot open PATH: " ("it is a
// folder"); empty for a regular file.
std::string_view localFileProblem(LocalFileKind kind);

}  // namespace reelhaven

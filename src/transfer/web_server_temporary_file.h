#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/error.h"

namespace reelhaven {

// A new file with a unique name in the temporary folder (the container's "tmp" when one is
// installed, else the system's), open for writing with mode 0644. The file is deleted when the
// object goes away unless it was kept.
class WebServerTemporaryFile {
public:
    static foundation::Result<WebServerTemporaryFile> create();

    WebServerTemporaryFile(WebServerTemporaryFile&& other) noexcept;
    WebServerTemporaryFile& operator=(WebServerTemporaryFile&& other) = delete;
    WebServerTemporaryFile(const WebServerTemporaryFile&) = delete;
    ~WebServerTemporaryFile();

    const std::string& path() const { return m_path; }
    // Writes every byte (a short write is an error).
    foundation::Status write(std::string_view data);
    foundation::Status close();
    // Hands the file over: it is no longer deleted by this object.
    std::string keep();

    // The folder temporary files go to.
    static std::string directory();

    // Deletes a file this class made and handed over with `keep` (when it is still there).
    static void discard(const std::string& path);
    // Deletes the temporary files in `folder` that no running upload owns: what a process killed
    // mid-upload left behind. Files of other running processes (their id is in the name) and of
    // live objects of this one stay. Returns how many went.
    static std::size_t removeStale(const std::string& folder = directory());
    // Whether the process named at the start of `name` ("<pid>-...") no longer runs; true also for
    // a name without a process id. This process counts as running.
    static bool ownerHasEnded(std::string_view name);

private:
    WebServerTemporaryFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

    int m_fd = -1;
    std::string m_path;
};

}  // namespace reelhaven

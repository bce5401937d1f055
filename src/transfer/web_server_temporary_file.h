#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/foundation/error.h"

namespace reelhaven {

// A new file with a unique name in the temporary folder (the container's "tmp" when one is
// installed, else the system's), open for writing with mode 0644. The file is deleted when the
// object goes away unless it was kept. Writes leave `minimumFreeSpace` free on the disk: one that
// would not fails as the full disk would (ENOSPC).
class WebServerTemporaryFile {
public:
    static foundation::Result<WebServerTemporaryFile> create();

    WebServerTemporaryFile(WebServerTemporaryFile&& other) noexcept;
    WebServerTemporaryFile& operator=(WebServerTemporaryFile&& other) = delete;
    WebServerTemporaryFile(const WebServerTemporaryFile&) = delete;
    ~WebServerTemporaryFile();

    const std::string& path() const { return m_path; }
    // Writes every byte (a short write is an error; so is one that would leave too little free).
    foundation::Status write(std::string_view data);
    foundation::Status close();
    // Hands the file over: it is no longer deleted by this object.
    std::string keep();

    // The folder temporary files go to.
    static std::string directory();

    // What every upload leaves free on the disk of the temporary folder, so that the library's own
    // files can still be saved. Process-wide.
    static std::uint64_t minimumFreeSpace();
    static void setMinimumFreeSpace(std::uint64_t bytes);
    // Whether `bytes` more fit in the temporary folder with the minimum left free; ENOSPC if not.
    static foundation::Status checkRoomFor(std::uint64_t bytes);

    // Deletes a file this class made and handed over with `keep` (when it is still there).
    static void discard(const std::string& path);
    // Deletes the temporary files in `folder` that no running upload owns: what a process killed
    // mid-upload left behind. Files of other running processes (their run is in the name) and of
    // live objects of this one stay, and so does every name this program did not make (one without
    // a run). Returns how many went.
    static std::size_t removeStale(const std::string& folder = directory());

private:
    WebServerTemporaryFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}

    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_room = 0;  // bytes known to fit before the free space is asked again
};

}  // namespace reelhaven

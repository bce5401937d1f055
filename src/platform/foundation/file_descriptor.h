#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "platform/foundation/error.h"

namespace foundation {

// Owns a POSIX file descriptor and closes it on destruction. Move-only.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset();

    // Writes every byte, retrying short writes and EINTR.
    Status writeAll(std::string_view bytes) const;
    // Appends what is left to read to `into`, retrying EINTR; `what` names the file in an error.
    // False when the whole would pass `limit` bytes (`into` then holds less than all of it).
    Result<bool> readAll(std::string& into, std::string_view what,
                         std::size_t limit = std::numeric_limits<std::size_t>::max()) const;
    // Closes now and reports the result (a failed close can mean lost data on some filesystems).
    Status close();

private:
    int m_fd = -1;
};

}  // namespace foundation

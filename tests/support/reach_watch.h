#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// What a test watches to tell whether the app reached past what it was given.

// A UDP port of this machine that nothing holds now (bound and let go at once).
int freeUdpPort();
// Whether a UDP socket of this machine, on any address, is bound to `port` now
// (/proc/net/udp and udp6).
bool udpPortBound(int port);

// Tells whether anything opened one file since the watch began: an inotify watch on the file,
// read without blocking. The file must exist before the watch is made.
class FileOpenWatch {
public:
    explicit FileOpenWatch(const std::filesystem::path& file);
    ~FileOpenWatch();
    FileOpenWatch(const FileOpenWatch&) = delete;
    FileOpenWatch& operator=(const FileOpenWatch&) = delete;

    // Whether the file was opened since the watch began (or since the last `clear`).
    bool opened();
    void clear();

private:
    int m_fd = -1;
    bool m_opened = false;
};

}  // namespace testing_support

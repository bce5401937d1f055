#pragma once

#include <cstdint>

namespace reelhaven {

// The loop of one media helper process: reads each file the app hands it over `socket` with
// FFmpeg and answers, one file at a time, until the app closes the socket. Its data (heap and
// private mappings) is held to what it had at start plus `memoryBytes`, and a file it reads for
// longer than `secondsPerFile` ends the process, should the app no longer be there to end it.
class MediaHelperWorker {
public:
    MediaHelperWorker(int socket, std::int64_t memoryBytes, unsigned secondsPerFile);

    // Returns the process's exit status.
    int serve();

private:
    // Whether this process's memory came within reach of its limit since it started: a read that
    // failed then failed for the limit, and the process leaves so the next file finds a fresh one.
    bool nearLimit() const;

    const int m_socket;
    const std::int64_t m_memoryBytes;
    const unsigned m_secondsPerFile;
    std::int64_t m_startSize = 0;
};

}  // namespace reelhaven

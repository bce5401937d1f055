#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/foundation/error.h"

namespace reelhaven {

// Writes to a file on a thread of its own, so that a connection goes on receiving while the
// previous bytes are copied into the file: receiving and writing each cost about as much, and
// done one after the other they halved an upload's speed. At most `kMaxQueued` bytes wait; a
// writer that gets ahead waits for them. A failed write is reported by the next `write` or by
// `finish`; what was queued after it is dropped. The file descriptor stays the caller's.
class WebServerBackgroundWriter {
public:
    static constexpr std::size_t kBufferSize = 256 * 1024;
    static constexpr std::size_t kMaxQueued = 4 * kBufferSize;

    explicit WebServerBackgroundWriter(int fd);
    // Drops what has not been written yet and waits for the thread.
    ~WebServerBackgroundWriter();
    WebServerBackgroundWriter(const WebServerBackgroundWriter&) = delete;
    WebServerBackgroundWriter& operator=(const WebServerBackgroundWriter&) = delete;

    // Queues a copy of `data`; the first failure of an earlier write, if any.
    foundation::Status write(std::string_view data);
    // Waits until everything queued is written; the first failure, if any. Once only.
    foundation::Status finish();

private:
    void run();
    void queueCurrentWithLock();

    const int m_fd;
    std::mutex m_mutex;  // guards the fields below up to the thread
    std::condition_variable m_changed;
    std::deque<std::string> m_queue;
    std::size_t m_queuedBytes = 0;
    std::string m_current;  // being filled by `write` (only on the writing caller's thread)
    std::vector<std::string> m_spare;
    bool m_finishing = false;
    bool m_cancelled = false;
    std::optional<foundation::Error> m_error;
    std::thread m_thread;
};

}  // namespace reelhaven

#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <optional>

namespace net {

// timedOut: the peer made no progress for the idle time-out; pastDeadline: the deadline set on
// the socket passed however the bytes were moving.
enum class IoStatus { ok, closed, timedOut, pastDeadline, failed };

struct IoResult {
    IoStatus status = IoStatus::ok;
    std::size_t bytes = 0;  // bytes moved by this call (also before a failure)
    int errnum = 0;         // set for IoStatus::failed

    bool ok() const { return status == IoStatus::ok; }
};

// A connected TCP socket, used from one thread at a time. Every call waits at most `idleTimeout`
// for the peer to make progress: slow transfers go on as long as bytes keep moving, a silent peer
// ends with IoStatus::timedOut. Writes never raise SIGPIPE. Owns and closes its descriptor.
class StreamSocket {
public:
    StreamSocket(int fd, std::chrono::milliseconds idleTimeout);
    ~StreamSocket();
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    using Deadline = std::chrono::steady_clock::time_point;

    int fd() const { return m_fd; }
    std::chrono::milliseconds idleTimeout() const { return m_idleTimeout; }
    // Every call after this one ends with IoStatus::pastDeadline once `deadline` has passed, so a
    // peer that trickles bytes cannot stretch an exchange without end. Nothing: no deadline.
    void setDeadline(std::optional<Deadline> deadline) { m_deadline = deadline; }

    // Reads what is available, up to `capacity` bytes (waiting for at least one).
    IoResult readSome(char* buffer, std::size_t capacity);
    IoResult writeAll(const char* data, std::size_t length);
    // Sends `length` bytes of the file `fileFd` from `*offset` with sendfile(2), moving `*offset`.
    // A file that ends early gives IoStatus::closed.
    IoResult sendFile(int fileFd, off_t* offset, std::size_t length);

    // Ends the sending side, then reads and discards what the peer still sends, for at most
    // `maxBytes` or `maxTime`, so a peer still writing a body receives the answer, not a reset.
    void shutdownWriteAndDrain(std::size_t maxBytes, std::chrono::milliseconds maxTime);

    // Closes now; returns 0 or the errno of close(2).
    int close();

private:
    enum class Progress { any, all };  // return after the first bytes, or only once all moved
    template <typename Operation>
    IoResult transfer(std::size_t length, short events, Progress progress, Operation operation);
    bool waitFor(short events, std::chrono::milliseconds timeout, IoResult& result);

    int m_fd;
    std::chrono::milliseconds m_idleTimeout;
    std::optional<Deadline> m_deadline;
};

}  // namespace net

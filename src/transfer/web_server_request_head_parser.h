#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "transfer/web_server_headers.h"

namespace reelhaven {

// The parts of a request head: "GET /path?query HTTP/1.1" and its header lines.
struct WebServerRequestHead {
    std::string method;
    std::string target;   // the request target exactly as sent
    std::string version;  // "HTTP/1.1" or "HTTP/1.0"
    WebServerHeaders headers;
};

// Sans-I/O reader of one HTTP/1.x request head. Bytes go in through `feed`; the parser takes
// bytes up to and including the blank line that ends the head and leaves the rest (the start of
// the body) to the caller. The search for the end resumes where it stopped, so a head that
// arrives in pieces costs linear time. It never touches sockets, queues or clocks.
//
// Rejected: a head longer than `maxHeadSize`, a bad request line, a version other than 1.0 or 1.1,
// header names that are not tokens or are followed by white space, folded lines, control
// characters (CR, LF, NUL ...) inside a line, conflicting repeated "Content-Length" values, a
// repeated "Host", and an HTTP/1.1 head without "Host".
class WebServerRequestHeadParser {
public:
    enum class Status { needMore, complete, error };

    static constexpr std::size_t kDefaultMaxHeadSize = 64 * 1024;

    explicit WebServerRequestHeadParser(std::size_t maxHeadSize = kDefaultMaxHeadSize);

    // Takes bytes of the head; returns how many were taken. Once the head is complete (or
    // failed) nothing more is taken.
    std::size_t feed(std::string_view bytes);

    Status status() const { return m_status; }
    // The parsed head once the status is complete.
    const WebServerRequestHead& head() const { return m_head; }
    WebServerRequestHead takeHead() { return std::move(m_head); }
    // Why parsing failed.
    const std::string& error() const { return m_error; }
    // Parsing failed because the head passed `maxHeadSize` (an answer of 431, not 400).
    bool isTooLarge() const { return m_tooLarge; }

private:
    void parse();
    void fail(std::string reason);

    std::size_t m_maxHeadSize;
    std::string m_buffer;
    std::size_t m_searchFrom = 0;
    Status m_status = Status::needMore;
    WebServerRequestHead m_head;
    std::string m_error;
    bool m_tooLarge = false;
};

}  // namespace reelhaven

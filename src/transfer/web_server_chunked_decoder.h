#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace reelhaven {

// Sans-I/O decoder of a chunked request body. Chunk data is handed on as it arrives (a chunk is
// never buffered whole); bytes after the end of the body are left to the caller.
//
// Rejected: size lines that are not plain hexadecimal digits (a sign, a "0x" prefix, white space
// inside), sizes that do not fit 63 bits, size lines or trailers longer than their limits, and a
// chunk not followed by CR LF.
class WebServerChunkedDecoder {
public:
    enum class Status { needMore, done, error };
    // Receives each piece of chunk data; returning false stops decoding with an error.
    using DataSink = std::function<bool(std::string_view data)>;

    static constexpr std::size_t kDefaultMaxLineSize = 4096;
    static constexpr std::size_t kDefaultMaxTrailerSize = 16 * 1024;

    explicit WebServerChunkedDecoder(std::size_t maxLineSize = kDefaultMaxLineSize,
                                     std::size_t maxTrailerSize = kDefaultMaxTrailerSize);

    // Decodes bytes; returns how many were taken (fewer than given only once done or failed).
    std::size_t feed(std::string_view bytes, const DataSink& sink);

    Status status() const { return m_status; }
    const std::string& error() const { return m_error; }

private:
    enum class State { sizeLine, data, dataEnd, trailer, done };

    bool takeSizeLine(std::string_view line);
    void fail(std::string reason);

    std::size_t m_maxLineSize;
    std::size_t m_maxTrailerSize;
    State m_state = State::sizeLine;
    Status m_status = Status::needMore;
    std::string m_line;  // the line being read (size line, chunk end or trailer line)
    std::uint64_t m_remaining = 0;
    std::size_t m_trailerSize = 0;
    std::string m_error;
};

}  // namespace reelhaven

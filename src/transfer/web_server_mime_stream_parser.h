#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace reelhaven {

// What the head of one multipart part says.
struct WebServerMultiPartHead {
    std::string controlName;
    std::optional<std::string> fileName;  // as the client sent it
    std::string contentType;              // type lower-cased, parameters as sent; "text/plain" by default
    std::string mimeType;                 // the content type without parameters
};

// Sans-I/O streaming parser of a multipart body ("multipart/form-data" or a nested
// "multipart/mixed"). Bytes go in through `append`; events come out through the callbacks: the
// head of each part, its content piece by piece as it arrives, and its end. Only a window of about
// the boundary's length is held back, so parts of any size pass through a small buffer.
//
// A part is delimited by CR LF "--" boundary; the bytes right after a boundary must be CR LF
// (another part) or "--" (the end). Failures are sticky: a part head without a control name or
// longer than `maxPartHeadSize`, anything else after a boundary, a boundary directly after a part
// head (no CR LF before it), or a callback that returns false.
class WebServerMIMEStreamParser {
public:
    struct Callbacks {
        std::function<bool(const WebServerMultiPartHead& head)> partBegin;
        std::function<bool(std::string_view data)> partData;
        std::function<bool()> partEnd;
    };

    static constexpr std::size_t kDefaultMaxPartHeadSize = 16 * 1024;
    static constexpr std::size_t kMaxBoundaryLength = 256;

    // Nothing when the boundary is empty, too long or not printable ASCII. `defaultControlName`
    // names parts whose disposition is "file" (the enclosing part's name in a nested parser).
    static std::unique_ptr<WebServerMIMEStreamParser> create(std::string_view boundary,
                                                             std::optional<std::string> defaultControlName,
                                                             Callbacks callbacks,
                                                             std::size_t maxPartHeadSize = kDefaultMaxPartHeadSize);

    // Parses more bytes; false once parsing has failed.
    bool append(std::string_view bytes);
    bool isAtEnd() const { return m_state == State::end; }
    bool hasFailed() const { return m_failed; }

private:
    enum class State { start, headers, content, end };

    WebServerMIMEStreamParser(std::string boundary, std::optional<std::string> defaultControlName, Callbacks callbacks,
                              std::size_t maxPartHeadSize);
    bool parse();
    bool parseHead(std::string_view text, WebServerMultiPartHead& head) const;
    // Looks at the bytes after a delimiter at `index`; returns false on failure, sets `*ready`
    // when enough bytes are there to decide.
    bool finishDelimiter(std::size_t index, bool* ready);

    std::string m_delimiter;  // CR LF "--" boundary
    std::optional<std::string> m_defaultControlName;
    Callbacks m_callbacks;
    std::size_t m_maxPartHeadSize;
    State m_state = State::start;
    std::string m_buffer;
    std::size_t m_partBytes = 0;  // content bytes handed on for the current part
    bool m_failed = false;
};

}  // namespace reelhaven

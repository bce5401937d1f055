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
// head of each part, its content piece by piece as it arrives, and its end. Content is handed on
// straight from the caller's bytes, one piece per append; only what could start a delimiter (or
// an unfinished part head) is held back, so parts of any size pass through a small buffer.
//
// A "multipart/mixed" part (several files under one field) is parsed by a nested parser whose
// parts come out through the same callbacks, named after the enclosing part; the mixed part
// itself gives no events. Forms nest one level; deeper nesting fails (`Failure::nestedTooDeep`),
// since every level holds a parser and its window and a body of nothing but levels would
// otherwise cost memory and stack without bound.
//
// A part is delimited by CR LF "--" boundary; the bytes right after a boundary must be CR LF
// (another part) or "--" (the end). Failures are sticky: a part head without a control name or
// longer than `maxPartHeadSize`, anything else after a boundary, a boundary directly after a part
// head (no CR LF before it), a nested part that ends before its own final boundary, or a callback
// that returns false.
class WebServerMIMEStreamParser {
public:
    struct Callbacks {
        std::function<bool(const WebServerMultiPartHead& head)> partBegin;
        std::function<bool(std::string_view data)> partData;
        std::function<bool()> partEnd;
    };

    enum class Failure { none, malformed, nestedTooDeep, callback };

    static constexpr std::size_t kDefaultMaxPartHeadSize = 16 * 1024;
    static constexpr std::size_t kMaxBoundaryLength = 256;
    // "multipart/mixed" inside "multipart/form-data", as forms send several files under one name.
    static constexpr int kDefaultMaxNesting = 1;

    // Nothing when the boundary is empty, too long or not printable ASCII. `defaultControlName`
    // names parts whose disposition is "file" (the enclosing part's name in a nested parser).
    static std::unique_ptr<WebServerMIMEStreamParser> create(std::string_view boundary,
                                                             std::optional<std::string> defaultControlName,
                                                             Callbacks callbacks,
                                                             std::size_t maxPartHeadSize = kDefaultMaxPartHeadSize,
                                                             int maxNesting = kDefaultMaxNesting);
    ~WebServerMIMEStreamParser();

    // Parses more bytes; false once parsing has failed.
    bool append(std::string_view bytes);
    bool isAtEnd() const { return m_state == State::end && m_failure == Failure::none; }
    bool hasFailed() const { return m_failure != Failure::none; }
    Failure failure() const { return m_failure; }
    // The bytes held back between appends (for tests of the memory bound).
    std::size_t heldBytes() const { return m_buffer.size() + (m_nested ? m_nested->heldBytes() : 0); }

private:
    enum class State { start, headers, content, end };
    // The outcome of parsing from one position: go on, wait for more bytes, or fail.
    enum class Step { more, wait, fail };

    WebServerMIMEStreamParser(std::string boundary, std::optional<std::string> defaultControlName, Callbacks callbacks,
                              std::size_t maxPartHeadSize, int maxNesting);
    // Parses `data` from its start; returns how many bytes were used. The rest must be offered
    // again, with more behind it.
    std::size_t parse(std::string_view data);
    Step parseHeaders(std::string_view data, std::size_t& position);
    Step parseContent(std::string_view data, std::size_t& position);
    Step finishDelimiter(std::string_view data, std::size_t& position);
    // How many bytes at the end of `data` could start the delimiter (it is not in `data` whole).
    std::size_t partialDelimiterAtEnd(std::string_view data) const;
    bool parseHead(std::string_view text, WebServerMultiPartHead& head) const;
    bool beginPart(const WebServerMultiPartHead& head);
    bool partData(std::string_view data);
    bool endPart();
    Step fail(Failure failure);

    std::string m_delimiter;  // CR LF "--" boundary
    std::optional<std::string> m_defaultControlName;
    Callbacks m_callbacks;
    std::size_t m_maxPartHeadSize;
    int m_maxNesting;
    State m_state = State::start;
    std::string m_buffer;              // bytes held back: a possible delimiter, or an unfinished head
    std::size_t m_partBytes = 0;       // content bytes seen for the current part
    std::size_t m_headSearchFrom = 0;  // where the search for the end of a part head resumes
    std::unique_ptr<WebServerMIMEStreamParser> m_nested;  // the current part is "multipart/mixed"
    Failure m_failure = Failure::none;
};

}  // namespace reelhaven

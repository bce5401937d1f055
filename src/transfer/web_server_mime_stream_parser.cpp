#include "transfer/web_server_mime_stream_parser.h"

#include <string.h>

#include <algorithm>

#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"
#include "transfer/web_server_utf8.h"

namespace reelhaven {

namespace {

// How much of the caller's bytes is joined to held-back bytes at a time: enough to finish a
// delimiter or a head line, small enough that the held-back buffer stays bounded.
constexpr std::size_t kJoinSize = 4096;

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::unique_ptr<WebServerMIMEStreamParser> WebServerMIMEStreamParser::create(
    std::string_view boundary, std::optional<std::string> defaultControlName, Callbacks callbacks,
    std::size_t maxPartHeadSize, int maxNesting) {
    if (boundary.empty() || boundary.size() > kMaxBoundaryLength) return nullptr;
    for (char c : boundary) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) return nullptr;
    }
    return std::unique_ptr<WebServerMIMEStreamParser>(new WebServerMIMEStreamParser(
        std::string(boundary), std::move(defaultControlName), std::move(callbacks), maxPartHeadSize, maxNesting));
}

WebServerMIMEStreamParser::WebServerMIMEStreamParser(std::string boundary,
                                                     std::optional<std::string> defaultControlName, Callbacks callbacks,
                                                     std::size_t maxPartHeadSize, int maxNesting)
    : m_delimiter("\r\n--" + boundary),
      m_defaultControlName(std::move(defaultControlName)),
      m_callbacks(std::move(callbacks)),
      m_maxPartHeadSize(maxPartHeadSize),
      m_maxNesting(maxNesting),
      // The first boundary may open the body without a CR LF before it.
      m_buffer("\r\n") {}

WebServerMIMEStreamParser::~WebServerMIMEStreamParser() = default;

bool WebServerMIMEStreamParser::append(std::string_view bytes) {
    if (hasFailed()) return false;
    while (m_state != State::end) {
        if (m_buffer.empty()) {
            // The common case: parse the caller's bytes where they are and keep only the tail.
            std::size_t used = parse(bytes);
            if (hasFailed()) return false;
            if (m_state != State::end) m_buffer.assign(bytes.substr(used));
            return true;
        }
        std::size_t take = std::min(bytes.size(), kJoinSize);
        m_buffer.append(bytes.data(), take);
        std::size_t used = parse(m_buffer);
        if (hasFailed()) {
            m_buffer.clear();
            return false;
        }
        std::size_t held = m_buffer.size() - used;
        if (held <= take) {
            // Only bytes of this call are left: go on from them in place.
            bytes.remove_prefix(take - held);
            m_buffer.clear();
        } else {
            m_buffer.erase(0, used);
            bytes.remove_prefix(take);
            if (bytes.empty()) return true;
        }
    }
    m_buffer.clear();  // the epilogue is not a part
    return true;
}

std::size_t WebServerMIMEStreamParser::parse(std::string_view data) {
    std::size_t position = 0;
    for (;;) {
        if (m_state == State::end) return data.size();
        Step step = m_state == State::headers ? parseHeaders(data, position) : parseContent(data, position);
        if (step != Step::more) return position;
    }
}

WebServerMIMEStreamParser::Step WebServerMIMEStreamParser::parseHeaders(std::string_view data, std::size_t& position) {
    std::string_view rest = data.substr(position);
    std::size_t end = 0;
    std::size_t skip = 2;  // a head of no lines is just its blank line
    if (!rest.starts_with("\r\n")) {
        end = rest.find("\r\n\r\n", m_headSearchFrom);
        if (end == std::string_view::npos) {
            // Resume after what was searched, so a head arriving byte by byte costs linear time.
            m_headSearchFrom = rest.size() >= 3 ? rest.size() - 3 : 0;
            return rest.size() < m_maxPartHeadSize + 4 ? Step::wait : fail(Failure::malformed);
        }
        if (end > m_maxPartHeadSize) return fail(Failure::malformed);
        skip = end + 4;
    }
    m_headSearchFrom = 0;
    WebServerMultiPartHead head;
    if (!parseHead(rest.substr(0, end), head)) return fail(Failure::malformed);
    position += skip;
    m_state = State::content;
    m_partBytes = 0;
    return beginPart(head) ? Step::more : Step::fail;
}

WebServerMIMEStreamParser::Step WebServerMIMEStreamParser::parseContent(std::string_view data, std::size_t& position) {
    std::string_view rest = data.substr(position);
    bool content = m_state == State::content;
    if (content && m_partBytes == 0) {
        // A boundary right after the part head, without the CR LF that must precede it.
        std::string_view bare = std::string_view(m_delimiter).substr(2);
        std::size_t compared = std::min(bare.size(), rest.size());
        if (rest.substr(0, compared) == bare.substr(0, compared)) {
            return compared == bare.size() ? fail(Failure::malformed) : Step::wait;  // it may still turn out to be one
        }
    }
    const void* found = ::memmem(rest.data(), rest.size(), m_delimiter.data(), m_delimiter.size());
    if (!found) {
        // Everything but a start of the delimiter at the very end belongs to no delimiter. Holding
        // back only that (rarely anything) lets the next bytes be parsed in place, not joined.
        std::size_t flushable = rest.size() - partialDelimiterAtEnd(rest);
        if (flushable == 0) return Step::wait;
        if (content) {
            m_partBytes += flushable;
            if (!partData(rest.substr(0, flushable))) return Step::fail;
        }
        position += flushable;  // in the start state: preamble
        return Step::wait;
    }
    auto index = static_cast<std::size_t>(static_cast<const char*>(found) - rest.data());
    if (content && index > 0) {
        // Hand on the content before the delimiter now; the delimiter itself stays.
        m_partBytes += index;
        if (!partData(rest.substr(0, index))) return Step::fail;
    }
    position += index;
    // Keep m_partBytes non-zero so the bare-boundary check does not apply at the delimiter.
    if (content) m_partBytes = std::max<std::size_t>(m_partBytes, 1);
    return finishDelimiter(data, position);
}

std::size_t WebServerMIMEStreamParser::partialDelimiterAtEnd(std::string_view data) const {
    std::size_t from = data.size() >= m_delimiter.size() ? data.size() - (m_delimiter.size() - 1) : 0;
    for (std::size_t at = data.find('\r', from); at != std::string_view::npos; at = data.find('\r', at + 1)) {
        if (std::string_view(m_delimiter).starts_with(data.substr(at))) return data.size() - at;
    }
    return 0;
}

WebServerMIMEStreamParser::Step WebServerMIMEStreamParser::finishDelimiter(std::string_view data,
                                                                           std::size_t& position) {
    std::size_t after = position + m_delimiter.size();
    if (data.size() < after + 2) return Step::wait;
    std::string_view next = data.substr(after, 2);
    bool content = m_state == State::content;
    if (next == "\r\n") {
        position = after + 2;
        m_state = State::headers;
    } else if (next == "--") {
        position = data.size();
        m_state = State::end;
    } else {
        return fail(Failure::malformed);
    }
    if (content && !endPart()) return Step::fail;
    return Step::more;
}

bool WebServerMIMEStreamParser::beginPart(const WebServerMultiPartHead& head) {
    if (head.mimeType == "multipart/mixed") {
        if (m_maxNesting <= 0) {
            WebServerLog(base::LogLevel::warning, [] { return "Multipart body nested too deeply"; });
            m_failure = Failure::nestedTooDeep;
            return false;
        }
        auto boundary = WebServerHeaderParameter(head.contentType, "boundary");
        if (boundary) {
            m_nested = create(*boundary, head.controlName, m_callbacks, m_maxPartHeadSize, m_maxNesting - 1);
        }
        if (!m_nested) m_failure = Failure::malformed;
        return m_nested != nullptr;
    }
    if (m_callbacks.partBegin && !m_callbacks.partBegin(head)) {
        m_failure = Failure::callback;
        return false;
    }
    return true;
}

bool WebServerMIMEStreamParser::partData(std::string_view data) {
    if (m_nested) {
        if (m_nested->append(data)) return true;
        m_failure = m_nested->failure();
        return false;
    }
    if (m_callbacks.partData && !m_callbacks.partData(data)) {
        m_failure = Failure::callback;
        return false;
    }
    return true;
}

bool WebServerMIMEStreamParser::endPart() {
    if (m_nested) {
        bool complete = m_nested->isAtEnd();
        m_nested.reset();
        if (!complete) m_failure = Failure::malformed;
        return complete;
    }
    if (m_callbacks.partEnd && !m_callbacks.partEnd()) {
        m_failure = Failure::callback;
        return false;
    }
    return true;
}

WebServerMIMEStreamParser::Step WebServerMIMEStreamParser::fail(Failure failure) {
    m_failure = failure;
    return Step::fail;
}

bool WebServerMIMEStreamParser::parseHead(std::string_view text, WebServerMultiPartHead& head) const {
    // A head that is not UTF-8 keeps its bytes: the handler can then say which name is bad,
    // instead of the whole form failing without a reason.
    if (!WebServerIsValidUTF8(text)) {
        WebServerLog(base::LogLevel::warning, [] { return "Headers in part of 'multipart/form-data' are not UTF-8"; });
    }
    std::optional<std::string> contentType;
    std::optional<std::string> controlName;
    std::size_t position = 0;
    while (position <= text.size()) {
        std::size_t end = text.find("\r\n", position);
        std::string_view line =
            text.substr(position, end == std::string_view::npos ? text.size() - position : end - position);
        std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            std::string_view name = trim(line.substr(0, colon));
            std::string_view value = trim(line.substr(colon + 1));
            if (WebServerLowercase(name) == "content-type") {
                contentType = WebServerLowercaseHeaderValue(value);
            } else if (WebServerLowercase(name) == "content-disposition") {
                std::string disposition = *WebServerLowercaseHeaderValue(value);
                std::string kind = *WebServerHeaderValueWithoutParameters(disposition);
                kind = std::string(trim(kind));
                if (kind == "form-data") {
                    controlName = WebServerHeaderParameter(disposition, "name");
                    head.fileName = WebServerHeaderParameter(disposition, "filename");
                } else if (kind == "file") {
                    controlName = m_defaultControlName;
                    head.fileName = WebServerHeaderParameter(disposition, "filename");
                }
            }
        }
        if (end == std::string_view::npos) break;
        position = end + 2;
    }
    if (!controlName) return false;
    head.controlName = *controlName;
    head.contentType = contentType.value_or("text/plain");
    head.mimeType = *WebServerHeaderValueWithoutParameters(head.contentType);
    return true;
}

}  // namespace reelhaven

#include "transfer/web_server_mime_stream_parser.h"

#include <algorithm>

#include "transfer/web_server_functions.h"
#include "transfer/web_server_log.h"
#include "transfer/web_server_utf8.h"

namespace reelhaven {

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::unique_ptr<WebServerMIMEStreamParser> WebServerMIMEStreamParser::create(
    std::string_view boundary, std::optional<std::string> defaultControlName, Callbacks callbacks,
    std::size_t maxPartHeadSize) {
    if (boundary.empty() || boundary.size() > kMaxBoundaryLength) return nullptr;
    for (char c : boundary) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) return nullptr;
    }
    return std::unique_ptr<WebServerMIMEStreamParser>(new WebServerMIMEStreamParser(
        std::string(boundary), std::move(defaultControlName), std::move(callbacks), maxPartHeadSize));
}

WebServerMIMEStreamParser::WebServerMIMEStreamParser(std::string boundary,
                                                     std::optional<std::string> defaultControlName, Callbacks callbacks,
                                                     std::size_t maxPartHeadSize)
    : m_delimiter("\r\n--" + boundary),
      m_defaultControlName(std::move(defaultControlName)),
      m_callbacks(std::move(callbacks)),
      m_maxPartHeadSize(maxPartHeadSize),
      // The first boundary may open the body without a CR LF before it.
      m_buffer("\r\n") {}

bool WebServerMIMEStreamParser::append(std::string_view bytes) {
    if (m_failed) return false;
    if (m_state == State::end) return true;  // the epilogue is not a part
    m_buffer.append(bytes);
    if (!parse()) {
        m_failed = true;
        m_buffer.clear();
    }
    return !m_failed;
}

bool WebServerMIMEStreamParser::finishDelimiter(std::size_t index, bool* ready) {
    std::size_t after = index + m_delimiter.size();
    *ready = m_buffer.size() >= after + 2;
    if (!*ready) return true;
    std::string_view next(m_buffer.data() + after, 2);
    if (next == "\r\n") {
        m_buffer.erase(0, after + 2);
        m_state = State::headers;
        return true;
    }
    if (next == "--") {
        m_buffer.clear();
        m_state = State::end;
        return true;
    }
    return false;
}

bool WebServerMIMEStreamParser::parse() {
    for (;;) {
        if (m_state == State::end) return true;
        if (m_state == State::headers) {
            std::size_t end = m_buffer.starts_with("\r\n") ? 0 : m_buffer.find("\r\n\r\n");
            if (end == std::string::npos) return m_buffer.size() < m_maxPartHeadSize + 4;
            if (end > m_maxPartHeadSize) return false;
            WebServerMultiPartHead head;
            if (!parseHead(std::string_view(m_buffer).substr(0, end), head)) return false;
            m_buffer.erase(0, end == 0 ? 2 : end + 4);
            m_state = State::content;
            m_partBytes = 0;
            if (m_callbacks.partBegin && !m_callbacks.partBegin(head)) return false;
            continue;
        }
        // Start or content: look for the next delimiter.
        if (m_state == State::content && m_partBytes == 0) {
            // A boundary right after the part head, without the CR LF that must precede it.
            std::string_view bare = std::string_view(m_delimiter).substr(2);
            std::size_t compared = std::min(bare.size(), m_buffer.size());
            if (std::string_view(m_buffer).substr(0, compared) == bare.substr(0, compared)) {
                if (compared == bare.size()) return false;
                return true;  // wait: it may still turn out to be one
            }
        }
        std::size_t index = m_buffer.find(m_delimiter);
        if (index == std::string::npos) {
            // Everything but the last delimiter-length bytes can belong to no delimiter.
            if (m_buffer.size() < m_delimiter.size()) return true;
            std::size_t flushable = m_buffer.size() - (m_delimiter.size() - 1);
            if (m_state == State::content) {
                m_partBytes += flushable;
                if (m_callbacks.partData && !m_callbacks.partData(std::string_view(m_buffer).substr(0, flushable))) {
                    return false;
                }
            }
            m_buffer.erase(0, flushable);
            return true;
        }
        bool ready = false;
        if (m_state == State::content && index > 0) {
            // Hand on the content before the delimiter now; the delimiter itself stays.
            m_partBytes += index;
            if (m_callbacks.partData && !m_callbacks.partData(std::string_view(m_buffer).substr(0, index))) {
                return false;
            }
            m_buffer.erase(0, index);
            index = 0;
        } else if (m_state == State::start && index > 0) {
            m_buffer.erase(0, index);  // preamble
            index = 0;
        }
        // Keep m_partBytes non-zero so the bare-boundary check does not apply at the delimiter.
        if (m_state == State::content) m_partBytes = std::max<std::size_t>(m_partBytes, 1);
        State before = m_state;
        if (!finishDelimiter(index, &ready)) return false;
        if (!ready) return true;
        if (before == State::content && m_callbacks.partEnd && !m_callbacks.partEnd()) return false;
    }
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

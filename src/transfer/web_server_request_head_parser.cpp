#include "transfer/web_server_request_head_parser.h"

#include <algorithm>

namespace reelhaven {

namespace {

bool isTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), isTokenChar); }

// Field values may hold visible characters, white space and bytes above 0x7F, never controls.
bool isFieldValue(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte == '\t' || (byte >= 0x20 && byte != 0x7F);
    });
}

bool isTargetChar(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte != 0x7F;
}

std::string_view trimWhitespace(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    WebServerCaseInsensitiveLess less;
    return !less(a, b) && !less(b, a);
}

}  // namespace

WebServerRequestHeadParser::WebServerRequestHeadParser(std::size_t maxHeadSize) : m_maxHeadSize(maxHeadSize) {}

std::size_t WebServerRequestHeadParser::feed(std::string_view bytes) {
    if (m_status != Status::needMore) return 0;
    std::size_t room = m_maxHeadSize - m_buffer.size();
    std::size_t previous = m_buffer.size();
    m_buffer.append(bytes.substr(0, std::min(room, bytes.size())));
    std::size_t end = m_buffer.find("\r\n\r\n", m_searchFrom);
    if (end == std::string::npos) {
        m_searchFrom = m_buffer.size() >= 3 ? m_buffer.size() - 3 : 0;
        if (m_buffer.size() >= m_maxHeadSize) {
            fail("request head too large");
            m_tooLarge = true;
        }
        return m_buffer.size() - previous;
    }
    m_buffer.resize(end + 4);
    parse();
    return end + 4 - previous;
}

void WebServerRequestHeadParser::fail(std::string reason) {
    m_status = Status::error;
    m_error = std::move(reason);
    m_buffer.clear();
}

void WebServerRequestHeadParser::parse() {
    std::string_view text(m_buffer);
    text.remove_suffix(4);  // the blank line
    std::size_t lineEnd = text.find("\r\n");
    std::string_view requestLine = text.substr(0, lineEnd);
    std::string_view rest = lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 2);

    std::size_t firstSpace = requestLine.find(' ');
    std::size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace) return fail("malformed request line");
    std::string_view method = requestLine.substr(0, firstSpace);
    std::string_view target = requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    std::string_view version = requestLine.substr(lastSpace + 1);
    if (!isToken(method)) return fail("malformed method");
    if (target.empty() || !std::all_of(target.begin(), target.end(), isTargetChar)) {
        return fail("malformed request target");
    }
    if (version != "HTTP/1.1" && version != "HTTP/1.0") return fail("unsupported HTTP version");
    m_head.method = method;
    m_head.target = target;
    m_head.version = version;

    bool moreLines = lineEnd != std::string_view::npos;
    while (moreLines) {
        std::size_t end = rest.find("\r\n");
        std::string_view line = rest.substr(0, end);
        moreLines = end != std::string_view::npos;
        if (moreLines) rest = rest.substr(end + 2);
        if (line.empty()) return fail("empty header line");
        if (line.front() == ' ' || line.front() == '\t') return fail("folded header line");
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return fail("header line without a colon");
        std::string_view name = line.substr(0, colon);
        std::string_view value = trimWhitespace(line.substr(colon + 1));
        if (!isToken(name)) return fail("malformed header name");
        if (!isFieldValue(value)) return fail("control character in a header value");
        auto [entry, inserted] = m_head.headers.emplace(std::string(name), std::string(value));
        if (inserted) continue;
        if (equalsIgnoringCase(name, "Content-Length")) {
            if (entry->second != value) return fail("conflicting Content-Length headers");
        } else if (equalsIgnoringCase(name, "Host")) {
            // Two hosts leave it open which site is asked for, and checks may read the other one.
            return fail("repeated Host header");
        } else {
            entry->second += ", ";
            entry->second += value;
        }
    }
    // An HTTP/1.1 client always names the site it asks for; only HTTP/1.0 may leave it out.
    if (m_head.version == "HTTP/1.1" && !WebServerHeaderValue(m_head.headers, "Host")) {
        return fail("missing Host header");
    }
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_status = Status::complete;
}

}  // namespace reelhaven

#include "transfer/web_server_request.h"

#include "platform/base/parsed_number.h"
#include "transfer/web_server_body_framing.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_gzip_decoder.h"
#include "transfer/web_server_log.h"

namespace reelhaven {

WebServerByteRange WebServerParseByteRange(std::string_view value) {
    WebServerByteRange range;
    if (!value.starts_with("bytes=")) return range;
    std::string_view spec = value.substr(6);
    if (spec.find(',') != std::string_view::npos) return range;
    std::size_t dash = spec.find('-');
    if (dash == std::string_view::npos) return range;
    std::string_view firstText = spec.substr(0, dash);
    std::string_view lastText = spec.substr(dash + 1);
    auto first = base::parsedNumber<std::int64_t>(firstText);
    auto last = base::parsedNumber<std::int64_t>(lastText);
    if ((!firstText.empty() && !first) || (!lastText.empty() && !last)) return range;
    if (first && last) {
        if (*first >= 0 && *last >= *first) {
            range.location = static_cast<std::uint64_t>(*first);
            // In unsigned arithmetic: "bytes=0-9223372036854775807" overflows a signed length.
            range.length = static_cast<std::uint64_t>(*last) - static_cast<std::uint64_t>(*first) + 1;
        }
    } else if (first) {
        if (*first >= 0) {
            range.location = static_cast<std::uint64_t>(*first);
            range.length = WebServerByteRange::kNotFound;
        }
    } else if (last && *last > 0) {
        range.length = static_cast<std::uint64_t>(*last);
    }
    return range;
}

WebServerRequest::WebServerRequest(const WebServerRequestInfo& info) : m_info(info) {
    const WebServerHeaders& headers = m_info.headers;
    if (auto* type = WebServerHeaderValue(headers, "Content-Type"))
        m_contentType = WebServerLowercaseHeaderValue(*type);
    if (auto* coding = WebServerHeaderValue(headers, "Transfer-Encoding")) {
        m_usesChunkedTransferEncoding = WebServerLowercase(*coding) == "chunked";
    }
    if (auto* lengthText = WebServerHeaderValue(headers, "Content-Length")) {
        auto length = WebServerContentLength::read(*lengthText);
        if (m_usesChunkedTransferEncoding || length.refusal != 0) {
            WebServerLog(base::LogLevel::warning, [&] {
                return "Invalid 'Content-Length' header '" + *lengthText + "' for '" + m_info.method +
                       "' request on \"" + m_info.url + "\"";
            });
            m_valid = false;
            return;
        }
        m_contentLength = length.value;
        if (!m_contentType) m_contentType = "application/octet-stream";
    } else if (m_usesChunkedTransferEncoding) {
        if (!m_contentType) m_contentType = "application/octet-stream";
    } else if (m_contentType) {
        WebServerLog(base::LogLevel::warning, [&] {
            return "Ignoring 'Content-Type' header for '" + m_info.method + "' request on \"" + m_info.url + "\"";
        });
        m_contentType.reset();
    }
    if (auto* since = WebServerHeaderValue(headers, "If-Modified-Since")) {
        m_ifModifiedSince = WebServerDateFromHTTPDateString(*since);
    }
    if (auto* match = WebServerHeaderValue(headers, "If-None-Match")) m_ifNoneMatch = *match;
    if (auto* rangeText = WebServerHeaderValue(headers, "Range")) {
        std::string lowered = *WebServerLowercaseHeaderValue(*rangeText);
        m_byteRange = WebServerParseByteRange(lowered);
        if (!m_byteRange.isSet()) {
            WebServerLog(base::LogLevel::warning,
                         [&] { return "Failed to parse 'Range' header \"" + lowered + "\" for url: " + m_info.url; });
        }
    }
    if (auto* accept = WebServerHeaderValue(headers, "Accept-Encoding")) {
        m_acceptsGzipContentEncoding = accept->find("gzip") != std::string::npos;
    }
}

WebServerRequest::~WebServerRequest() = default;

const std::any* WebServerRequest::attribute(const std::string& key) const {
    auto found = m_attributes.find(key);
    return found == m_attributes.end() ? nullptr : &found->second;
}

void WebServerRequest::setAddresses(net::SocketAddress local, net::SocketAddress remote) {
    m_localAddress = local;
    m_remoteAddress = remote;
}

void WebServerRequest::prepareForWriting() {
    m_writer = this;
    auto* encoding = WebServerHeaderValue(m_info.headers, "Content-Encoding");
    if (encoding && WebServerLowercaseHeaderValue(*encoding) == "gzip") {
        auto decoder = std::make_unique<WebServerGZipDecoder>(*this, *m_writer);
        m_writer = decoder.get();
        m_decoders.push_back(std::move(decoder));
    }
}

foundation::Status WebServerRequest::performOpen() {
    if (m_opened) return WebServerError("Request body already opened");
    m_opened = true;
    return m_writer->open();
}

foundation::Status WebServerRequest::performWriteData(std::string_view data) { return m_writer->writeData(data); }

foundation::Status WebServerRequest::performClose() { return m_writer->close(); }

std::string WebServerRequest::description() const {
    std::string text = m_info.method + " " + m_info.path;
    for (const auto& [key, value] : m_info.query) text += "\n  " + key + " = " + value;
    text += "\n";
    for (const auto& [name, value] : m_info.headers) text += "\n" + name + ": " + value;
    return text;
}

}  // namespace reelhaven

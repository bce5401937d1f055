#include "transfer/web_server_data_request.h"

#include <algorithm>

#include "transfer/web_server_functions.h"

namespace reelhaven {

WebServerDataRequest::WebServerDataRequest(const WebServerRequestInfo& info, std::size_t maxDataSize)
    : WebServerRequest(info), m_maxDataSize(maxDataSize) {}

foundation::Error WebServerDataRequest::tooLarge() const {
    return WebServerClientError(413, "Request body larger than " + std::to_string(m_maxDataSize) + " bytes");
}

foundation::Status WebServerDataRequest::open() {
    if (contentLength() != kUnknownLength) {
        if (contentLength() > m_maxDataSize) return tooLarge();
        m_data.reserve(static_cast<std::size_t>(contentLength()));
    }
    return {};
}

foundation::Status WebServerDataRequest::writeData(std::string_view data) {
    if (m_data.size() + data.size() > m_maxDataSize) return tooLarge();
    m_data.append(data);
    return {};
}

std::optional<std::string> WebServerDataRequest::text() const {
    if (!contentType() || !contentType()->starts_with("text/")) return std::nullopt;
    return WebServerDecodeTextOfContentType(m_data, *contentType());
}

std::optional<nlohmann::json> WebServerDataRequest::jsonObject() const {
    if (!contentType()) return std::nullopt;
    std::string mime = *WebServerHeaderValueWithoutParameters(*contentType());
    if (mime != "application/json" && mime != "text/json" && mime != "text/javascript") return std::nullopt;
    // Through the program's one reader, which refuses nesting deep enough to overflow the stack
    // wherever the value is later copied or compared.
    auto parsed = foundation::JsonCoding::parse(m_data);
    if (!parsed) return std::nullopt;
    return std::move(parsed).value();
}

std::string WebServerDataRequest::description() const {
    std::string text = WebServerRequest::description();
    if (contentType()) text += "\n\n" + WebServerBodyDescription(m_data, *contentType());
    return text;
}

}  // namespace reelhaven

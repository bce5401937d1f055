#include "transfer/web_server_response.h"

#include "transfer/web_server_body_writer.h"
#include "transfer/web_server_functions.h"
#include "transfer/web_server_gzip_encoder.h"

namespace reelhaven {

std::shared_ptr<WebServerResponse> WebServerResponse::responseWithStatusCode(int statusCode) {
    auto response = std::make_shared<WebServerResponse>();
    response->setStatusCode(statusCode);
    return response;
}

std::shared_ptr<WebServerResponse> WebServerResponse::responseWithRedirect(const std::string& location,
                                                                           bool permanent) {
    auto response = responseWithStatusCode(permanent ? 301 : 307);
    response->setValueForAdditionalHeader(location, "Location");
    return response;
}

WebServerResponse::WebServerResponse() = default;
WebServerResponse::~WebServerResponse() = default;

void WebServerResponse::setValueForAdditionalHeader(const std::string& value, const std::string& header) {
    std::string clean = value;
    for (char& c : clean) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    m_additionalHeaders[header] = clean;
}

void WebServerResponse::prepareForReading() {
    m_reader = this;
    if (m_gzipContentEncodingEnabled) {
        auto encoder = std::make_unique<WebServerGZipEncoder>(*this, *m_reader);
        m_reader = encoder.get();
        m_encoders.push_back(std::move(encoder));
    }
}

foundation::Status WebServerResponse::performOpen() {
    if (m_opened) return WebServerError("Response body already opened");
    m_opened = true;
    return m_reader->open();
}

void WebServerResponse::performReadData(ReadCompletion completion) {
    if (m_reader->hasAsyncRead()) {
        m_reader->asyncReadData(std::move(completion));
    } else {
        completion(m_reader->readData());
    }
}

void WebServerResponse::performClose() { m_reader->close(); }

std::optional<WebServerFileRegion> WebServerResponse::directFileRegion() {
    if (m_reader != this) return std::nullopt;
    return fileRegion();
}

std::string WebServerResponse::description() const {
    std::string text = "Status Code = " + std::to_string(m_statusCode);
    if (m_contentType) text += "\nContent Type = " + *m_contentType;
    if (m_contentLength != kUnknownLength) text += "\nContent Length = " + std::to_string(m_contentLength);
    text += "\nCache Control Max Age = " + std::to_string(m_cacheControlMaxAge);
    if (m_lastModifiedDate) text += "\nLast Modified Date = " + WebServerHTTPDateString(*m_lastModifiedDate);
    if (m_eTag) text += "\nETag = " + *m_eTag;
    if (!m_additionalHeaders.empty()) {
        text += "\n";
        for (const auto& [name, value] : m_additionalHeaders) text += "\n" + name + ": " + value;
    }
    return text;
}

}  // namespace reelhaven

#pragma once

#include <sys/types.h>

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/date.h"
#include "transfer/web_server_body_reader.h"
#include "transfer/web_server_headers.h"

namespace reelhaven {

class WebServerBodyEncoder;

// A file region a response can hand to the kernel to send directly (sendfile), instead of being
// read piece by piece.
struct WebServerFileRegion {
    int fd = -1;
    off_t offset = 0;
    std::uint64_t length = 0;
};

// What a handler answers: a status, the entity headers and a body read through a chain of
// readers. The base class has no body; subclasses supply one.
class WebServerResponse : public WebServerBodyReader {
public:
    static constexpr std::uint64_t kUnknownLength = std::numeric_limits<std::uint64_t>::max();

    static std::shared_ptr<WebServerResponse> response() { return std::make_shared<WebServerResponse>(); }
    static std::shared_ptr<WebServerResponse> responseWithStatusCode(int statusCode);
    // 301 when permanent, else 307, with "Location" set to `location`.
    static std::shared_ptr<WebServerResponse> responseWithRedirect(const std::string& location, bool permanent);

    WebServerResponse();
    ~WebServerResponse() override;

    int statusCode() const { return m_statusCode; }
    void setStatusCode(int code) { m_statusCode = code; }
    const std::optional<std::string>& contentType() const { return m_contentType; }
    void setContentType(std::optional<std::string> type) { m_contentType = std::move(type); }
    std::uint64_t contentLength() const { return m_contentLength; }
    void setContentLength(std::uint64_t length) { m_contentLength = length; }
    std::uint64_t cacheControlMaxAge() const { return m_cacheControlMaxAge; }
    void setCacheControlMaxAge(std::uint64_t age) { m_cacheControlMaxAge = age; }
    const std::optional<foundation::Date>& lastModifiedDate() const { return m_lastModifiedDate; }
    void setLastModifiedDate(std::optional<foundation::Date> date) { m_lastModifiedDate = date; }
    const std::optional<std::string>& eTag() const { return m_eTag; }
    void setETag(std::optional<std::string> tag) { m_eTag = std::move(tag); }
    bool isGZipContentEncodingEnabled() const { return m_gzipContentEncodingEnabled; }
    void setGZipContentEncodingEnabled(bool enabled) { m_gzipContentEncodingEnabled = enabled; }
    // Header values never carry CR or LF: those become spaces.
    void setValueForAdditionalHeader(const std::string& value, const std::string& header);
    const WebServerHeaders& additionalHeaders() const { return m_additionalHeaders; }

    bool hasBody() const { return m_contentType.has_value(); }
    bool usesChunkedTransferEncoding() const { return m_contentType.has_value() && m_contentLength == kUnknownLength; }

    // The reader chain: the response itself, behind a gzip encoder when enabled.
    void prepareForReading();
    foundation::Status performOpen();
    void performReadData(ReadCompletion completion);
    void performClose();
    // The region to send directly when the chain is the response alone and it is a plain file.
    std::optional<WebServerFileRegion> directFileRegion();

    virtual std::string description() const;

    // The body reader; the base class has an empty body.
    foundation::Status open() override { return {}; }
    foundation::Result<std::string> readData() override { return std::string(); }
    void close() override {}

protected:
    // Subclasses that are plain files answer their open region (and account for it as sent).
    virtual std::optional<WebServerFileRegion> fileRegion() { return std::nullopt; }

private:
    bool m_opened = false;
    std::vector<std::unique_ptr<WebServerBodyEncoder>> m_encoders;
    WebServerBodyReader* m_reader = this;
    bool m_gzipContentEncodingEnabled = false;
    std::optional<std::string> m_contentType;
    std::uint64_t m_contentLength = kUnknownLength;
    int m_statusCode = 200;
    std::uint64_t m_cacheControlMaxAge = 0;
    std::optional<foundation::Date> m_lastModifiedDate;
    std::optional<std::string> m_eTag;
    WebServerHeaders m_additionalHeaders;
};

}  // namespace reelhaven

#pragma once

#include <any>
#include <concepts>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/date.h"
#include "platform/network/socket_address.h"
#include "transfer/web_server_body_writer.h"
#include "transfer/web_server_byte_range.h"
#include "transfer/web_server_headers.h"

namespace reelhaven {

// What the connection knows of a request when it asks the handlers for a match.
struct WebServerRequestInfo {
    std::string method;
    std::string url;  // the request target as sent
    WebServerHeaders headers;
    std::string path;  // percent-decoded
    std::map<std::string, std::string> query;
};

class WebServerBodyDecoder;

// The parsed request handed to a handler, and the writer its body is pushed through. The base
// class drops the body; subclasses keep it (data, form, multipart form, file).
class WebServerRequest : public WebServerBodyWriter {
public:
    static constexpr std::uint64_t kUnknownLength = std::numeric_limits<std::uint64_t>::max();

    // Makes a request of class T, or nothing when the head is inconsistent for a request (a
    // negative "Content-Length", or one together with chunked coding).
    template <std::derived_from<WebServerRequest> T>
    static std::shared_ptr<T> make(const WebServerRequestInfo& info) {
        auto request = std::make_shared<T>(info);
        if (!request->isValid()) return nullptr;
        return request;
    }

    explicit WebServerRequest(const WebServerRequestInfo& info);
    ~WebServerRequest() override;

    const std::string& method() const { return m_info.method; }
    const std::string& url() const { return m_info.url; }
    const WebServerHeaders& headers() const { return m_info.headers; }
    const std::string& path() const { return m_info.path; }
    const std::map<std::string, std::string>& query() const { return m_info.query; }
    const std::optional<std::string>& contentType() const { return m_contentType; }
    std::uint64_t contentLength() const { return m_contentLength; }
    bool hasBody() const { return m_contentType.has_value(); }
    bool usesChunkedTransferEncoding() const { return m_usesChunkedTransferEncoding; }
    bool acceptsGzipContentEncoding() const { return m_acceptsGzipContentEncoding; }
    const std::optional<foundation::Date>& ifModifiedSince() const { return m_ifModifiedSince; }
    const std::optional<std::string>& ifNoneMatch() const { return m_ifNoneMatch; }
    const WebServerByteRange& byteRange() const { return m_byteRange; }
    bool hasByteRange() const { return m_byteRange.isSet(); }
    bool isValid() const { return m_valid; }

    void setAttribute(const std::string& key, std::any value) { m_attributes[key] = std::move(value); }
    const std::any* attribute(const std::string& key) const;

    void setAddresses(net::SocketAddress local, net::SocketAddress remote);
    const net::SocketAddress& localAddress() const { return m_localAddress; }
    const net::SocketAddress& remoteAddress() const { return m_remoteAddress; }
    std::string localAddressString() const { return m_localAddress.toString(true); }
    std::string remoteAddressString() const { return m_remoteAddress.toString(true); }

    // The writer chain: the request itself, behind a gzip decoder for "Content-Encoding: gzip".
    void prepareForWriting();
    foundation::Status performOpen();
    foundation::Status performWriteData(std::string_view data);
    foundation::Status performClose();

    virtual std::string description() const;

    // The body writer; the base class keeps nothing.
    foundation::Status open() override { return {}; }
    foundation::Status writeData(std::string_view) override { return {}; }
    foundation::Status close() override { return {}; }

private:
    WebServerRequestInfo m_info;
    bool m_valid = true;
    bool m_opened = false;
    std::vector<std::unique_ptr<WebServerBodyDecoder>> m_decoders;
    WebServerBodyWriter* m_writer = this;
    std::map<std::string, std::any> m_attributes;
    bool m_acceptsGzipContentEncoding = false;
    bool m_usesChunkedTransferEncoding = false;
    std::optional<std::string> m_contentType;
    std::uint64_t m_contentLength = kUnknownLength;
    std::optional<foundation::Date> m_ifModifiedSince;
    std::optional<std::string> m_ifNoneMatch;
    net::SocketAddress m_localAddress;
    net::SocketAddress m_remoteAddress;
    WebServerByteRange m_byteRange;
};

// Reads a "Range" header value ("bytes=500-999", "bytes=9500-", "bytes=-500"); no range for
// anything else.
WebServerByteRange WebServerParseByteRange(std::string_view value);

}  // namespace reelhaven

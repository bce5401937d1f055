#pragma once

#include <zlib.h>

#include "transfer/web_server_body_encoder.h"

namespace reelhaven {

// Deflates a response body with gzip framing. Creating it makes the length unknown (the body goes
// chunked) and sets "Content-Encoding: gzip".
class WebServerGZipEncoder : public WebServerBodyEncoder {
public:
    WebServerGZipEncoder(WebServerResponse& response, WebServerBodyReader& next);
    ~WebServerGZipEncoder() override;

    foundation::Status open() override;
    foundation::Result<std::string> readData() override;
    void close() override;

private:
    z_stream m_stream{};
    bool m_initialized = false;
    bool m_finished = false;
};

}  // namespace reelhaven

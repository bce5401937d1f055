#pragma once

#include "transfer/web_server_body_writer.h"

namespace reelhaven {

class WebServerRequest;

// A writer placed in front of another that transforms the body on its way; this base passes every
// call through unchanged. Owned by its request; the next writer outlives it.
class WebServerBodyDecoder : public WebServerBodyWriter {
public:
    WebServerBodyDecoder(WebServerRequest& request, WebServerBodyWriter& next) : m_request(request), m_next(next) {}

    foundation::Status open() override { return m_next.open(); }
    foundation::Status writeData(std::string_view data) override { return m_next.writeData(data); }
    foundation::Status close() override { return m_next.close(); }

protected:
    WebServerRequest& request() { return m_request; }
    WebServerBodyWriter& next() { return m_next; }

private:
    WebServerRequest& m_request;
    WebServerBodyWriter& m_next;
};

}  // namespace reelhaven

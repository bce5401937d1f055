#pragma once

#include "transfer/web_server_body_reader.h"

namespace reelhaven {

class WebServerResponse;

// A reader placed in front of another that transforms the body on its way; this base passes
// every call through. Owned by its response; the next reader outlives it.
class WebServerBodyEncoder : public WebServerBodyReader {
public:
    WebServerBodyEncoder(WebServerResponse& response, WebServerBodyReader& next) : m_response(response), m_next(next) {}

    foundation::Status open() override { return m_next.open(); }
    foundation::Result<std::string> readData() override { return m_next.readData(); }
    void close() override { m_next.close(); }

protected:
    WebServerResponse& response() { return m_response; }
    WebServerBodyReader& next() { return m_next; }

private:
    WebServerResponse& m_response;
    WebServerBodyReader& m_next;
};

}  // namespace reelhaven

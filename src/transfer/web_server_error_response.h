#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/error.h"
#include "transfer/web_server_data_response.h"

namespace reelhaven {

// A small HTML page for an HTTP error: "HTTP Error <code>", the message, and the underlying
// error's domain, description and code when there is one. Text is HTML-escaped.
class WebServerErrorResponse : public WebServerDataResponse {
public:
    static std::shared_ptr<WebServerErrorResponse> responseWithClientError(int statusCode, const std::string& message);
    static std::shared_ptr<WebServerErrorResponse> responseWithServerError(int statusCode, const std::string& message);
    static std::shared_ptr<WebServerErrorResponse> responseWithClientError(int statusCode,
                                                                           const foundation::Error& underlyingError,
                                                                           const std::string& message);
    static std::shared_ptr<WebServerErrorResponse> responseWithServerError(int statusCode,
                                                                           const foundation::Error& underlyingError,
                                                                           const std::string& message);

    WebServerErrorResponse(int statusCode, const std::optional<foundation::Error>& underlyingError,
                           const std::string& message);

    // "&", "<", ">" and the double quote as entities.
    static std::string escapeHTML(const std::string& text);
};

}  // namespace reelhaven

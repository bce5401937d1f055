#include "transfer/web_server_error_response.h"

#include "transfer/web_server_utf8.h"

namespace reelhaven {

namespace {

std::string page(int statusCode, const std::optional<foundation::Error>& error, const std::string& message) {
    std::string title = "HTTP Error " + std::to_string(statusCode);
    std::string errorLine;
    if (error) {
        errorLine = "[" + error->domain + "] " + error->description + " (" + std::to_string(error->code) + ")";
    }
    return "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head><body><h1>" + title + ": " + WebServerErrorResponse::escapeHTML(message) + "</h1><h3>" +
           WebServerErrorResponse::escapeHTML(errorLine) + "</h3></body></html>";
}

// Messages quote what clients sent and names found on disk, which may be any bytes: the page is
// always valid UTF-8 (an HTML response of invalid text could not be made, leaving a bare 500).
std::string printablePage(int statusCode, const std::optional<foundation::Error>& error, const std::string& message) {
    return WebServerPrintableUTF8(page(statusCode, error, message));
}

}  // namespace

std::string WebServerErrorResponse::escapeHTML(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': result += "&amp;"; break;
            case '<': result += "&lt;"; break;
            case '>': result += "&gt;"; break;
            case '"': result += "&quot;"; break;
            default: result += c;
        }
    }
    return result;
}

WebServerErrorResponse::WebServerErrorResponse(int statusCode, const std::optional<foundation::Error>& underlyingError,
                                               const std::string& message)
    : WebServerDataResponse(printablePage(statusCode, underlyingError, message), "text/html; charset=utf-8") {
    setStatusCode(statusCode);
}

std::shared_ptr<WebServerErrorResponse> WebServerErrorResponse::responseWithClientError(int statusCode,
                                                                                        const std::string& message) {
    return std::make_shared<WebServerErrorResponse>(statusCode, std::nullopt, message);
}

std::shared_ptr<WebServerErrorResponse> WebServerErrorResponse::responseWithServerError(int statusCode,
                                                                                        const std::string& message) {
    return std::make_shared<WebServerErrorResponse>(statusCode, std::nullopt, message);
}

std::shared_ptr<WebServerErrorResponse> WebServerErrorResponse::responseWithClientError(
    int statusCode, const foundation::Error& underlyingError, const std::string& message) {
    return std::make_shared<WebServerErrorResponse>(statusCode, underlyingError, message);
}

std::shared_ptr<WebServerErrorResponse> WebServerErrorResponse::responseWithServerError(
    int statusCode, const foundation::Error& underlyingError, const std::string& message) {
    return std::make_shared<WebServerErrorResponse>(statusCode, underlyingError, message);
}

}  // namespace reelhaven

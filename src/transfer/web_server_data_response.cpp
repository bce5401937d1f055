#include "transfer/web_server_data_response.h"

#include <fstream>
#include <sstream>

#include "transfer/web_server_functions.h"

namespace reelhaven {

WebServerDataResponse::WebServerDataResponse(std::string data, std::string contentType) : m_data(std::move(data)) {
    setContentType(std::move(contentType));
    setContentLength(m_data.size());
}

std::shared_ptr<WebServerDataResponse> WebServerDataResponse::responseWithData(std::string data,
                                                                               std::string contentType) {
    return std::make_shared<WebServerDataResponse>(std::move(data), std::move(contentType));
}

std::shared_ptr<WebServerDataResponse> WebServerDataResponse::responseWithText(const std::string& text) {
    if (!WebServerDecodeText(text, "UTF-8")) return nullptr;
    return responseWithData(text, "text/plain; charset=utf-8");
}

std::shared_ptr<WebServerDataResponse> WebServerDataResponse::responseWithHTML(const std::string& html) {
    if (!WebServerDecodeText(html, "UTF-8")) return nullptr;
    return responseWithData(html, "text/html; charset=utf-8");
}

std::shared_ptr<WebServerDataResponse> WebServerDataResponse::responseWithHTMLTemplate(
    const std::string& path, const std::vector<std::pair<std::string, std::string>>& variables) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::stringstream contents;
    contents << file.rdbuf();
    std::string html = contents.str();
    for (const auto& [name, value] : variables) {
        std::string marker = "%" + name + "%";
        std::string replaced;
        std::size_t position = 0;
        for (std::size_t found; (found = html.find(marker, position)) != std::string::npos;
             position = found + marker.size()) {
            replaced.append(html, position, found - position);
            replaced += value;
        }
        replaced.append(html, position);
        html = std::move(replaced);
    }
    return responseWithHTML(html);
}

std::shared_ptr<WebServerDataResponse> WebServerDataResponse::responseWithJSONObject(const nlohmann::json& object,
                                                                                     const std::string& contentType) {
    std::string text;
    try {
        text = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    } catch (const nlohmann::json::exception&) {
        return nullptr;  // e.g. a string that is not UTF-8
    }
    return responseWithData(std::move(text), contentType);
}

foundation::Result<std::string> WebServerDataResponse::readData() {
    if (m_done) return std::string();
    m_done = true;
    return m_data;
}

std::string WebServerDataResponse::description() const {
    return WebServerResponse::description() + "\n\n" + WebServerBodyDescription(m_data, contentType().value_or(""));
}

}  // namespace reelhaven

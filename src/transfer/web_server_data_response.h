#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/json.h"
#include "transfer/web_server_response.h"

namespace reelhaven {

// A response whose body is bytes in memory.
class WebServerDataResponse : public WebServerResponse {
public:
    WebServerDataResponse(std::string data, std::string contentType);

    static std::shared_ptr<WebServerDataResponse> responseWithData(std::string data, std::string contentType);
    // "text/plain; charset=utf-8"; nothing when the text is not valid UTF-8.
    static std::shared_ptr<WebServerDataResponse> responseWithText(const std::string& text);
    // "text/html; charset=utf-8"; nothing when the text is not valid UTF-8.
    static std::shared_ptr<WebServerDataResponse> responseWithHTML(const std::string& html);
    // The UTF-8 file at `path` with each "%name%" replaced by its value, in the order given;
    // nothing when the file cannot be read.
    static std::shared_ptr<WebServerDataResponse> responseWithHTMLTemplate(
        const std::string& path, const std::vector<std::pair<std::string, std::string>>& variables);
    static std::shared_ptr<WebServerDataResponse> responseWithJSONObject(
        const nlohmann::json& object, const std::string& contentType = "application/json");

    const std::string& data() const { return m_data; }

    foundation::Result<std::string> readData() override;
    std::string description() const override;

private:
    std::string m_data;
    bool m_done = false;
};

}  // namespace reelhaven

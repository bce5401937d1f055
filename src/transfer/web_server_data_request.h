#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/foundation/json.h"
#include "transfer/web_server_request.h"

namespace reelhaven {

// A request whose body is kept in memory, up to `maxDataSize` bytes (a larger body fails).
class WebServerDataRequest : public WebServerRequest {
public:
    static constexpr std::size_t kDefaultMaxDataSize = 16 * 1024 * 1024;

    explicit WebServerDataRequest(const WebServerRequestInfo& info, std::size_t maxDataSize = kDefaultMaxDataSize);

    const std::string& data() const { return m_data; }
    // The body as text for a "text/" type, decoded with its charset; nothing otherwise.
    std::optional<std::string> text() const;
    // The body parsed as JSON for a JSON type; nothing otherwise, on a parse error, or when it nests
    // deeper than the one reader of JSON allows.
    std::optional<nlohmann::json> jsonObject() const;

    foundation::Status open() override;
    foundation::Status writeData(std::string_view data) override;
    foundation::Status close() override { return {}; }
    std::string description() const override;

private:
    foundation::Error tooLarge() const;  // 413

    std::size_t m_maxDataSize;
    std::string m_data;
};

}  // namespace reelhaven

#pragma once

#include <optional>
#include <string>

#include "transfer/web_server_multi_part.h"

namespace reelhaven {

// A form field held in memory.
class WebServerMultiPartArgument : public WebServerMultiPart {
public:
    WebServerMultiPartArgument(std::string controlName, std::string contentType, std::string mimeType,
                               std::string data);

    const std::string& data() const { return m_data; }
    // The bytes as text for a "text/" type in its charset; nothing otherwise or when they do not decode.
    const std::optional<std::string>& string() const { return m_string; }
    std::string description() const override;

private:
    std::string m_data;
    std::optional<std::string> m_string;
};

}  // namespace reelhaven

#pragma once

#include <string>

namespace reelhaven {

// One part of a multipart form: its field name and content type.
class WebServerMultiPart {
public:
    WebServerMultiPart(std::string controlName, std::string contentType, std::string mimeType)
        : m_controlName(std::move(controlName)),
          m_contentType(std::move(contentType)),
          m_mimeType(std::move(mimeType)) {}
    virtual ~WebServerMultiPart() = default;

    const std::string& controlName() const { return m_controlName; }
    const std::string& contentType() const { return m_contentType; }  // parameters kept
    const std::string& mimeType() const { return m_mimeType; }        // without parameters
    virtual std::string description() const = 0;

private:
    std::string m_controlName;
    std::string m_contentType;
    std::string m_mimeType;
};

}  // namespace reelhaven

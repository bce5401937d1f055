#pragma once

#include <string>

#include "transfer/web_server_multi_part.h"

namespace reelhaven {

// An uploaded file, stored in a temporary file that is deleted with this object: a handler that
// keeps the upload moves the file away first.
class WebServerMultiPartFile : public WebServerMultiPart {
public:
    WebServerMultiPartFile(std::string controlName, std::string contentType, std::string mimeType, std::string fileName,
                           std::string temporaryPath)
        : WebServerMultiPart(std::move(controlName), std::move(contentType), std::move(mimeType)),
          m_fileName(std::move(fileName)),
          m_temporaryPath(std::move(temporaryPath)) {}
    ~WebServerMultiPartFile() override;

    const std::string& fileName() const { return m_fileName; }  // as the client sent it
    const std::string& temporaryPath() const { return m_temporaryPath; }
    std::string description() const override;

private:
    std::string m_fileName;
    std::string m_temporaryPath;
};

}  // namespace reelhaven

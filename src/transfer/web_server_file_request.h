#pragma once

#include <memory>
#include <string>

#include "transfer/web_server_request.h"
#include "transfer/web_server_temporary_file.h"

namespace reelhaven {

// A request whose body is written to a new temporary file, deleted with the request.
class WebServerFileRequest : public WebServerRequest {
public:
    explicit WebServerFileRequest(const WebServerRequestInfo& info) : WebServerRequest(info) {}

    // The file's path once the body is opened ("" before).
    std::string temporaryPath() const { return m_file ? m_file->path() : std::string(); }

    foundation::Status open() override;
    foundation::Status writeData(std::string_view data) override;
    foundation::Status close() override;
    std::string description() const override;

private:
    std::unique_ptr<WebServerTemporaryFile> m_file;
};

}  // namespace reelhaven

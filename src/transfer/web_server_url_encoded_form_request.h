#pragma once

#include <map>
#include <string>

#include "transfer/web_server_data_request.h"

namespace reelhaven {

// A request whose "application/x-www-form-urlencoded" body is parsed into arguments on close.
class WebServerURLEncodedFormRequest : public WebServerDataRequest {
public:
    static std::string mimeType() { return "application/x-www-form-urlencoded"; }

    explicit WebServerURLEncodedFormRequest(const WebServerRequestInfo& info) : WebServerDataRequest(info) {}

    const std::map<std::string, std::string>& arguments() const { return m_arguments; }

    foundation::Status close() override;
    std::string description() const override;

private:
    std::map<std::string, std::string> m_arguments;
};

}  // namespace reelhaven

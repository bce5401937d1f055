#include <cstring>

#include "transfer/web_server_body_writer.h"

namespace reelhaven {

foundation::Error WebServerError(std::string description) {
    return foundation::Error{"WebServerErrorDomain", -1, std::move(description)};
}

foundation::Error WebServerClientError(int statusCode, std::string description) {
    return foundation::Error{"WebServerErrorDomain", statusCode, std::move(description)};
}

int WebServerClientErrorStatus(const foundation::Error& error) {
    bool client = error.domain == "WebServerErrorDomain" && error.code >= 400 && error.code <= 499;
    return client ? error.code : 0;
}

foundation::Error WebServerPOSIXError(int errnum) {
    return foundation::Error{std::string(foundation::kPOSIXErrorDomain), errnum, std::strerror(errnum)};
}

}  // namespace reelhaven

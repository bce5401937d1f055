#include <cerrno>
#include <cstring>

#include "transfer/web_server_body_writer.h"

namespace reelhaven {

foundation::Error WebServerError(std::string description) {
    return foundation::Error{"WebServerErrorDomain", -1, std::move(description)};
}

foundation::Error WebServerClientError(int statusCode, std::string description) {
    return foundation::Error{"WebServerErrorDomain", statusCode, std::move(description)};
}

int WebServerErrorStatus(const foundation::Error& error) {
    if (error.domain == "WebServerErrorDomain") return error.code >= 400 && error.code <= 599 ? error.code : 0;
    if (error.domain != foundation::kPOSIXErrorDomain) return 0;
    switch (error.code) {
        case ENOSPC:
        case EDQUOT: return 507;
        case ENAMETOOLONG: return 400;
        default: return 0;
    }
}

foundation::Error WebServerPOSIXError(int errnum) {
    return foundation::Error{std::string(foundation::kPOSIXErrorDomain), errnum, std::strerror(errnum)};
}

}  // namespace reelhaven

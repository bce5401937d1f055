#include <cstring>

#include "transfer/web_server_body_writer.h"

namespace reelhaven {

foundation::Error WebServerError(std::string description) {
    return foundation::Error{"WebServerErrorDomain", -1, std::move(description)};
}

foundation::Error WebServerPOSIXError(int errnum) {
    return foundation::Error{std::string(foundation::kPOSIXErrorDomain), errnum, std::strerror(errnum)};
}

}  // namespace reelhaven

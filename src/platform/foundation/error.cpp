#include "platform/foundation/error.h"

#include <cstring>

namespace foundation {

Error Error::posix(int errnum, std::string_view context) {
    std::string description(context);
    description += ": ";
    description += std::strerror(errnum);
    return Error{std::string(kPOSIXErrorDomain), errnum, std::move(description)};
}

Error Error::foundation(FoundationErrorCode code, std::string_view description) {
    return Error{std::string(kFoundationErrorDomain), code, std::string(description)};
}

}  // namespace foundation

#pragma once

#include <string>
#include <string_view>

#include "platform/foundation/error.h"

namespace reelhaven {

// Where a request body goes: opened once, written piece by piece, closed once.
class WebServerBodyWriter {
public:
    virtual ~WebServerBodyWriter() = default;
    virtual foundation::Status open() = 0;
    virtual foundation::Status writeData(std::string_view data) = 0;
    virtual foundation::Status close() = 0;
};

// An error of the server's own domain ("WebServerErrorDomain", code -1).
foundation::Error WebServerError(std::string description);
// A POSIX error with the system's text for `errnum`.
foundation::Error WebServerPOSIXError(int errnum);
// A body the server refuses with a status other than 500 (of the server's domain, with the 4xx or
// 5xx status as its code): the connection answers with that status.
foundation::Error WebServerClientError(int statusCode, std::string description);
// The status an error stands for: its own for one made by WebServerClientError, 507 for a full
// disk or quota, 400 for a name the file system refuses as too long; 0 for any other error.
int WebServerErrorStatus(const foundation::Error& error);

}  // namespace reelhaven

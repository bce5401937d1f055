#pragma once

#include <functional>
#include <string>

#include "platform/foundation/error.h"

namespace reelhaven {

// Where a response body comes from: opened once, read piece by piece until an empty piece ends
// it, closed once.
class WebServerBodyReader {
public:
    using ReadCompletion = std::function<void(foundation::Result<std::string> data)>;

    virtual ~WebServerBodyReader() = default;
    virtual foundation::Status open() = 0;
    // The next piece; empty at the end of the body.
    virtual foundation::Result<std::string> readData() = 0;
    virtual void close() = 0;
    // Readers that produce data later override this; the default reads synchronously.
    virtual bool hasAsyncRead() const { return false; }
    virtual void asyncReadData(ReadCompletion completion) { completion(readData()); }
};

}  // namespace reelhaven

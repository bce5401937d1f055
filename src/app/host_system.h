#pragma once

#include <string>

#include "platform/foundation/error.h"

namespace reelhaven {

// What the host does as the operating system around the app, beyond the user's touches: hand it
// a file or URL, send it to the background and bring it back. Main thread only.
class HostSystem {
public:
    virtual ~HostSystem() = default;
    // A path is offered to be opened in place; anything with a scheme is handed over as a URL.
    virtual foundation::Status open(const std::string& pathOrURL) = 0;
    virtual void enterBackground() = 0;
    virtual void enterForeground() = 0;
    // Writes what the desktop window shows as PNG; an error where there is no window.
    virtual foundation::Status screenshot(const std::string& path) = 0;
};

}  // namespace reelhaven

#pragma once

#include <string>

namespace foundation {

// Security-scoped access bookkeeping. Linux has no sandbox extensions, so access is always
// granted; the counts let tests check that every start is balanced by a stop. Thread safe.
class SecurityScope {
public:
    static void start(const std::string& path);
    // Returns false (and logs) when no access was started for the path.
    static bool stop(const std::string& path);
    // Starts minus stops for the path.
    static int accessCount(const std::string& path);
    // Paths with an open access, for tests that check for leaks.
    static int openPathCount();
};

}  // namespace foundation

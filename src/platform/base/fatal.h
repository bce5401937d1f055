#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace base {

// Programming errors stop the program through this one function, with the name of the source
// file that found them. Tests install a handler to observe them instead.
[[noreturn]] void fatal(std::string_view file, std::string_view message);

// A handler receives "<file>: <message>" and must not return normally (it throws in tests).
using FatalHandler = std::function<void(const std::string& text)>;

// Installs `handler` for as long as the object lives; the previous handler comes back after.
class ScopedFatalHandler {
public:
    explicit ScopedFatalHandler(FatalHandler handler);
    ~ScopedFatalHandler();
    ScopedFatalHandler(const ScopedFatalHandler&) = delete;
    ScopedFatalHandler& operator=(const ScopedFatalHandler&) = delete;

private:
    FatalHandler m_previous;
};

// What a test handler throws: tests catch it with EXPECT_THROW and read the text.
struct FatalError {
    std::string text;
};

// Installs a handler that throws FatalError, for tests.
class ScopedFatalThrows : public ScopedFatalHandler {
public:
    ScopedFatalThrows();
};

}  // namespace base

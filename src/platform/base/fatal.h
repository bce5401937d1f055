#pragma once

#include <functional>
#include <source_location>
#include <string>
#include <string_view>

namespace base {

// Programming errors stop the program through this one function. The caller's place is taken
// by the compiler, so no call site types its own file name. Tests install a handler to observe
// them instead.
[[noreturn]] void fatal(std::string_view message, std::source_location where = std::source_location::current());

// A handler receives "<file>:<line>: <message>" (the file without its folders) and must not
// return normally (it throws in tests).
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

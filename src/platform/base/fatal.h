#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>
#endif

namespace base {

#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
// clang 14 over libstdc++ 12 (the fuzzers' compiler) has no std::source_location; the builtins
// it does have give the same two facts.
struct SourceLocation {
    static constexpr SourceLocation current(const char* file = __builtin_FILE(), unsigned line = __builtin_LINE()) {
        SourceLocation where;
        where.m_file = file;
        where.m_line = line;
        return where;
    }
    constexpr const char* file_name() const { return m_file; }
    constexpr unsigned line() const { return m_line; }

private:
    const char* m_file = "";
    unsigned m_line = 0;
};
#endif

// Programming errors stop the program through this one function. The caller's place is taken
// by the compiler, so no call site types its own file name. Tests install a handler to observe
// them instead.
[[noreturn]] void fatal(std::string_view message, SourceLocation where = SourceLocation::current());

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

#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace base {

// The levels every subsystem logs at; the transfer server uses all five.
enum class LogLevel { debug = 0, verbose = 1, info = 2, warning = 3, error = 4 };

std::string_view logLevelName(LogLevel level);  // "DEBUG", "VERBOSE", "INFO", "WARNING", "ERROR"

// The one log sink. By default messages at or above the minimum level go to standard error.
using LogSink = std::function<void(LogLevel level, std::string_view category, std::string_view message)>;

void log(LogLevel level, std::string_view category, std::string_view message);
void setMinimumLogLevel(LogLevel level);
LogLevel minimumLogLevel();
bool isLogging(LogLevel level);

// Routes every message (whatever the minimum level) to `sink` while the object lives; tests use it.
class ScopedLogSink {
public:
    explicit ScopedLogSink(LogSink sink);
    ~ScopedLogSink();
    ScopedLogSink(const ScopedLogSink&) = delete;
    ScopedLogSink& operator=(const ScopedLogSink&) = delete;

private:
    LogSink m_previous;
};

}  // namespace base

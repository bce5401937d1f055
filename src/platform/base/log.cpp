#include "platform/base/log.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/base/escaped_text.h"

namespace base {

namespace {
std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}
LogSink& currentSink() {
    static LogSink sink;
    return sink;
}
std::atomic<LogLevel>& minimum() {
    static std::atomic<LogLevel> level{LogLevel::info};
    return level;
}
}  // namespace

std::string_view logLevelName(LogLevel level) {
    switch (level) {
        case LogLevel::debug: return "DEBUG";
        case LogLevel::verbose: return "VERBOSE";
        case LogLevel::info: return "INFO";
        case LogLevel::warning: return "WARNING";
        case LogLevel::error: return "ERROR";
    }
    return "UNKNOWN";
}

void setMinimumLogLevel(LogLevel level) { minimum() = level; }
LogLevel minimumLogLevel() { return minimum(); }

bool isLogging(LogLevel level) {
    std::lock_guard lock(sinkMutex());
    return currentSink() || level >= minimum();
}

void log(LogLevel level, std::string_view category, std::string_view message) {
    std::lock_guard lock(sinkMutex());
    if (currentSink()) {
        currentSink()(level, category, message);
        return;
    }
    if (level < minimum()) return;
    // Messages carry names and paths from outside (an uploaded file's name): one line each, and
    // nothing that acts on the terminal.
    const std::string text = escapedText(message);
    std::fprintf(stderr, "[%.*s] %.*s: %.*s\n", int(logLevelName(level).size()), logLevelName(level).data(),
                 int(category.size()), category.data(), int(text.size()), text.data());
}

ScopedLogSink::ScopedLogSink(LogSink sink) {
    std::lock_guard lock(sinkMutex());
    m_previous = std::exchange(currentSink(), std::move(sink));
}

ScopedLogSink::~ScopedLogSink() {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(m_previous);
}

}  // namespace base

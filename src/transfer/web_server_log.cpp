#include "transfer/web_server_log.h"

#include <atomic>
#include <mutex>

#include "platform/base/log.h"

namespace reelhaven {

namespace {
std::atomic<base::LogLevel> g_minimum{base::LogLevel::info};
std::mutex g_loggerMutex;
WebServerBuiltInLogger g_logger;
}  // namespace

void WebServerSetLogLevel(base::LogLevel level) { g_minimum = level; }
base::LogLevel WebServerLogLevel() { return g_minimum; }

void WebServerSetBuiltInLogger(WebServerBuiltInLogger logger) {
    std::lock_guard lock(g_loggerMutex);
    g_logger = std::move(logger);
}

bool WebServerIsLogging(base::LogLevel level) { return level >= g_minimum.load(); }

void WebServerLogText(base::LogLevel level, std::string_view message) {
    {
        std::lock_guard lock(g_loggerMutex);
        if (g_logger) {
            g_logger(level, message);
            return;
        }
    }
    base::log(level, "WebServer", message);
}

}  // namespace reelhaven

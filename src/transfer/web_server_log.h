#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/base/log.h"

namespace reelhaven {

// The server's logging: a process-wide minimum level (INFO by default) tested at each call site,
// then either the built-in logger block or the shared base::log sink (category "WebServer").
using WebServerBuiltInLogger = std::function<void(base::LogLevel level, std::string_view message)>;

void WebServerSetLogLevel(base::LogLevel level);
base::LogLevel WebServerLogLevel();
void WebServerSetBuiltInLogger(WebServerBuiltInLogger logger);
bool WebServerIsLogging(base::LogLevel level);

// Formats the message only when it will be logged.
template <typename MakeMessage>
void WebServerLog(base::LogLevel level, MakeMessage&& makeMessage);

void WebServerLogText(base::LogLevel level, std::string_view message);

template <typename MakeMessage>
void WebServerLog(base::LogLevel level, MakeMessage&& makeMessage) {
    if (!WebServerIsLogging(level)) return;
    WebServerLogText(level, std::forward<MakeMessage>(makeMessage)());
}

}  // namespace reelhaven

#include "platform/base/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace base {

namespace {
std::mutex& handlerMutex() {
    static std::mutex mutex;
    return mutex;
}
FatalHandler& currentHandler() {
    static FatalHandler handler;
    return handler;
}
}  // namespace

void fatal(std::string_view message, SourceLocation where) {
    std::string_view file = where.file_name();
    if (auto slash = file.rfind('/'); slash != std::string_view::npos) file.remove_prefix(slash + 1);
    std::string text = std::string(file) + ":" + std::to_string(where.line()) + ": " + std::string(message);
    FatalHandler handler;
    {
        std::lock_guard lock(handlerMutex());
        handler = currentHandler();
    }
    if (handler) handler(text);
    std::fprintf(stderr, "Fatal error: %s\n", text.c_str());
    std::fflush(stderr);
    std::abort();
}

ScopedFatalHandler::ScopedFatalHandler(FatalHandler handler) {
    std::lock_guard lock(handlerMutex());
    m_previous = std::exchange(currentHandler(), std::move(handler));
}

ScopedFatalHandler::~ScopedFatalHandler() {
    std::lock_guard lock(handlerMutex());
    currentHandler() = std::move(m_previous);
}

ScopedFatalThrows::ScopedFatalThrows() : ScopedFatalHandler([](const std::string& text) { throw FatalError{text}; }) {}

}  // namespace base

#include "platform/base/startup_marks.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

namespace base {

namespace {
bool marking() {
    static const bool on = [] {
        const char* value = std::getenv("REELHAVEN_STARTUP_MARKS");
        return value && *value;
    }();
    return on;
}
}  // namespace

void startupMark(std::string_view name) {
    if (!marking()) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double milliseconds = static_cast<double>(now.tv_sec) * 1000 + static_cast<double>(now.tv_nsec) / 1e6;
    static std::mutex mutex;
    static std::set<std::string, std::less<>> marked;
    std::lock_guard lock(mutex);
    if (!marked.insert(std::string(name)).second) return;
    std::fprintf(stderr, "startup\t%.1f\t%.*s\n", milliseconds, static_cast<int>(name.size()), name.data());
}

}  // namespace base

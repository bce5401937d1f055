#include "platform/foundation/security_scope.h"

#include <map>
#include <mutex>

#include "platform/base/log.h"

namespace foundation {

namespace {

struct Counts {
    std::mutex mutex;
    std::map<std::string, int> byPath;
};

Counts& counts() {
    static Counts* instance = new Counts;  // never destroyed: used from any thread until exit
    return *instance;
}

}  // namespace

void SecurityScope::start(const std::string& path) {
    auto& c = counts();
    std::lock_guard lock(c.mutex);
    ++c.byPath[path];
}

bool SecurityScope::stop(const std::string& path) {
    auto& c = counts();
    std::lock_guard lock(c.mutex);
    auto it = c.byPath.find(path);
    if (it == c.byPath.end()) {
        base::log(base::LogLevel::warning, "foundation", "security-scoped access stopped without a start: " + path);
        return false;
    }
    if (--it->second == 0) c.byPath.erase(it);
    return true;
}

int SecurityScope::accessCount(const std::string& path) {
    auto& c = counts();
    std::lock_guard lock(c.mutex);
    auto it = c.byPath.find(path);
    return it == c.byPath.end() ? 0 : it->second;
}

int SecurityScope::openPathCount() {
    auto& c = counts();
    std::lock_guard lock(c.mutex);
    return static_cast<int>(c.byPath.size());
}

}  // namespace foundation

#include "platform/foundation/date.h"

#include <chrono>

namespace foundation {

Date Date::now() {
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date{std::chrono::duration<double>(since).count()};
}

}  // namespace foundation

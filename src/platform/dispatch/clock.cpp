#include "platform/dispatch/clock.h"

namespace dispatch {

TimePoint RealClock::now() const {
    return std::chrono::duration_cast<TimePoint>(std::chrono::steady_clock::now().time_since_epoch());
}

void ManualClock::set(TimePoint time) {
    auto current = m_now.load();
    while (time.count() > current && !m_now.compare_exchange_weak(current, time.count())) {
    }
}

}  // namespace dispatch

#include "platform/media/timebase.h"

#include "platform/dispatch/run_loop.h"

namespace media {
namespace {

dispatch::TimePoint clockNow() { return dispatch::RunLoop::main()->now(); }

}  // namespace

Timebase::Timebase() : m_anchorClock(clockNow()) {}

double Timebase::nowSecondsLocked() const {
    return m_anchorSeconds + dispatch::toSeconds(clockNow() - m_anchorClock) * m_rate;
}

Time Timebase::time() const {
    std::lock_guard lock(m_mutex);
    return Time::makeWithSeconds(nowSecondsLocked(), kTimescale);
}

void Timebase::setTime(Time time) {
    std::lock_guard lock(m_mutex);
    m_anchorClock = clockNow();
    m_anchorSeconds = time.isNumeric() ? time.seconds() : 0;
}

double Timebase::rate() const {
    std::lock_guard lock(m_mutex);
    return m_rate;
}

void Timebase::setRate(double rate) {
    std::lock_guard lock(m_mutex);
    m_anchorSeconds = nowSecondsLocked();
    m_anchorClock = clockNow();
    m_rate = rate;
}

}  // namespace media

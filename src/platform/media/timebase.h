#pragma once

#include <mutex>

#include "platform/dispatch/clock.h"
#include "platform/media/time.h"

namespace media {

// A timeline that runs at `rate` against the main run loop's clock (so tests move it with the
// manual clock). Starts at zero with rate 1 when created. Thread safe.
class Timebase {
public:
    static constexpr std::int32_t kTimescale = 1'000'000'000;

    Timebase();

    Time time() const;
    void setTime(Time time);
    double rate() const;
    void setRate(double rate);

private:
    double nowSecondsLocked() const;

    mutable std::mutex m_mutex;
    dispatch::TimePoint m_anchorClock{};
    double m_anchorSeconds = 0;
    double m_rate = 1;
};

}  // namespace media

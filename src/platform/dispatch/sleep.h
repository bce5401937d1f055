#pragma once

#include <vector>

#include "platform/dispatch/clock.h"

namespace dispatch {

// Blocks the calling thread for `duration`, as the product does on the main thread in a few places.
// On the real clock of the main run loop it really sleeps; on a manual clock it only records the
// duration (tests must never sleep for real seconds), and time stays where it is.
void sleepFor(Duration duration);
inline void sleepFor(double seconds) { sleepFor(dispatch::seconds(seconds)); }

// The sleeps recorded on manual clocks since the last clear, in order.
std::vector<Duration> recordedSleeps();
void clearRecordedSleeps();

}  // namespace dispatch

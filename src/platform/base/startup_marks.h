#pragma once

#include <string_view>

namespace base {

// Start-up's milestones, for finding where the time before the first picture goes: with
// REELHAVEN_STARTUP_MARKS set, the first time each name is marked a line
// "startup<TAB>MILLISECONDS<TAB>NAME" goes to standard error, MILLISECONDS on the system's
// monotonic clock (the one a benchmark that started the process reads). Otherwise a mark costs
// one test of a flag. Any thread.
void startupMark(std::string_view name);

}  // namespace base

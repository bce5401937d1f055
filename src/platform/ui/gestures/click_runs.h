#pragma once

#include <cstdint>

namespace ui {

// The pointer's presses, counted in runs of clicks: a press begins a new run unless it is the
// second (or a later) click of a double click. What appears on screen (a menu, the submenu that
// replaces it, a screen, an alert) keeps the run it appeared in and takes no press of that run:
// neither a press held as it appeared nor the rest of the double click that brought it up lands
// on it, so a double click never confirms what its first click opened under the pointer. A
// click begun after it appeared reaches it at once, with no delay. Main thread only.
class ClickRuns {
public:
    using Stamp = std::uint64_t;

    // The run now: what appears keeps it.
    static Stamp current();
    // A press of the pointer; `continuesRun`: it is the second (or a later) click in a row there.
    static void press(bool continuesRun);
    // Whether the press now may land on what appeared at `shown`.
    static bool mayTake(Stamp shown) { return current() > shown; }
};

}  // namespace ui

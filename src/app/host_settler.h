#pragma once

#include <functional>
#include <memory>

#include "platform/dispatch/clock.h"

namespace ui {
class ScreenDriver;
}

namespace reelhaven {

// Lets the app come to rest after a command, so what the host prints next is what the user
// would see once nothing moves any more: the main queue is empty, no presentation, dismissal or
// navigation transition is in flight, the app's own short delays due within `kShortDelay` of the
// command (a context menu's delete) have run on the real clock (a manual one moves only as its
// owner says, or while the screen moves), the animations in view that end within `kShortDelay`
// (a section that opens, an empty state that fades in) have ended, on either clock, and the
// background work of the screens on show (their library managers' listings, thumbnails and
// durations) has ended and been delivered. Main thread only.
class HostSettler {
public:
    // Blocks until the background work of the screens shown now has ended.
    using FlushShownScreens = std::function<void()>;

    // `serve`, where a desktop window shows the app: called over and over while transitions run
    // and while a short delay runs out on the real clock, so the window shows them as they go (and
    // a player's first picture as it comes) rather than only the screen at rest.
    HostSettler(ui::ScreenDriver& driver, FlushShownScreens flush, std::function<void()> serve = {})
        : m_driver(driver), m_flush(std::move(flush)), m_serve(std::move(serve)) {}

    // Each round may start new work (a delivered listing makes cells ask for thumbnails), so
    // rounds repeat until one delivers nothing. Returns false when it never came to rest.
    // `shortDelays` false: the short delays are left for later.
    bool settle(bool shortDelays = true);

private:
    // A screen that keeps asking for work on every round is a fault to show, not to wait out.
    static constexpr int kMaxRounds = 100;
    // Timers due this soon after the command are the app's own steps of it, not later events (a
    // player's tick, bars that hide after seconds): the screen is printed once they have run.
    // Animations that end this soon are the screen still moving; longer ones (a scrolling title,
    // a fade that waits seconds first) are part of the screen at rest.
    static constexpr double kShortDelay = 0.5;
    // The longest the animations of one command are waited for, moving or not: one step may start
    // the next (a delete's delay, then the empty state's fade), but nothing on screen is waited for
    // without end. Counted as the time given to animations only, so a loaded machine that is slow
    // to deliver the steps' work gets no less of it.
    static constexpr double kLongestRest = 2.0;

    // Serves the main run loop until its real clock reaches `when`.
    void runUntil(dispatch::TimePoint when);
    // Lets the main run loop's clock reach `when`: served in real time, or moved on a manual one.
    void passTime(dispatch::TimePoint when);

    ui::ScreenDriver& m_driver;  // owned by the session that owns this settler
    FlushShownScreens m_flush;
    std::function<void()> m_serve;
};

}  // namespace reelhaven

#include "app/host_settler.h"

#include <algorithm>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/screen/screen_driver.h"

namespace reelhaven {

bool HostSettler::settle(bool shortDelays) {
    auto loop = dispatch::RunLoop::main();
    if (m_serve && !loop->clock().isManual()) {
        // Before the background work is waited for (the window shows nothing new meanwhile).
        loop->runUntil([&] {
            m_serve();
            return ui::TransitionsInFlight::count() == 0;
        });
    }
    const auto horizon = loop->now() + dispatch::seconds(kShortDelay);
    auto restLeft = dispatch::seconds(kLongestRest);
    for (int round = 0; round < kMaxRounds; ++round) {
        m_driver.settle();
        if (m_flush) m_flush();
        const bool delivered = loop->runUntilIdle();
        if (delivered || ui::TransitionsInFlight::count() > 0) continue;
        if (!shortDelays) return true;
        // On a manual clock time moves only as its owner says (a test's `wait`), or below while
        // the screen moves.
        const auto next = loop->nextTimerTime();
        if (!loop->clock().isManual() && next && *next <= horizon) {
            runUntil(*next);
            continue;
        }
        const auto rest = m_driver.restingTime(kShortDelay);
        if (!rest || restLeft <= dispatch::Duration::zero()) return true;
        const auto from = loop->now();
        passTime(std::min(dispatch::seconds(*rest), from + restLeft));
        restLeft -= loop->now() - from;
    }
    return false;
}

void HostSettler::passTime(dispatch::TimePoint when) {
    auto loop = dispatch::RunLoop::main();
    if (loop->clock().isManual()) {
        loop->advance(std::max(when - loop->now(), dispatch::Duration::zero()));
    } else {
        runUntil(when);
    }
}

void HostSettler::runUntil(dispatch::TimePoint when) {
    auto loop = dispatch::RunLoop::main();
    loop->runUntil([&] {
        if (m_serve) m_serve();
        return loop->now() >= when;
    });
}

}  // namespace reelhaven

#include "app/host_settler.h"

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
    for (int round = 0; round < kMaxRounds; ++round) {
        m_driver.settle();
        if (m_flush) m_flush();
        const bool delivered = loop->runUntilIdle();
        if (delivered || ui::TransitionsInFlight::count() > 0) continue;
        const auto next = loop->nextTimerTime();
        // On a manual clock time moves only as its owner says (a test's `wait`).
        if (!shortDelays || loop->clock().isManual() || !next || *next > horizon) return true;
        runUntil(*next);
    }
    return false;
}

void HostSettler::runUntil(dispatch::TimePoint when) {
    auto loop = dispatch::RunLoop::main();
    loop->runUntil([&] {
        if (m_serve) m_serve();
        return loop->now() >= when;
    });
}

}  // namespace reelhaven

#include "app/host_settler.h"

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/screen/screen_driver.h"

namespace reelhaven {

bool HostSettler::settle() {
    auto loop = dispatch::RunLoop::main();
    if (m_serve && !loop->clock().isManual()) {
        // Before the background work is waited for (the window shows nothing new meanwhile).
        loop->runUntil([&] {
            m_serve();
            return ui::TransitionsInFlight::count() == 0;
        });
    }
    for (int round = 0; round < kMaxRounds; ++round) {
        m_driver.settle();
        if (m_flush) m_flush();
        const bool delivered = loop->runUntilIdle();
        if (!delivered && ui::TransitionsInFlight::count() == 0) return true;
    }
    return false;
}

}  // namespace reelhaven

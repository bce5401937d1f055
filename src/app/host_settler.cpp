#include "app/host_settler.h"

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/screen/screen_driver.h"

namespace reelhaven {

bool HostSettler::settle() {
    auto loop = dispatch::RunLoop::main();
    for (int round = 0; round < kMaxRounds; ++round) {
        m_driver.settle();
        if (m_flush) m_flush();
        const bool delivered = loop->runUntilIdle();
        if (!delivered && ui::TransitionsInFlight::count() == 0) return true;
    }
    return false;
}

}  // namespace reelhaven

#pragma once

#include <cstdlib>
#include <memory>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"

namespace testing_support {

// For the tests that need a desktop: the display stage of tools/test runs them under Xvfb;
// elsewhere they skip.
inline bool hasDisplay() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

// The main run loop on the real clock, served by the calling thread, for tests that run a
// window's loop; the main loop before it comes back when it goes.
class RealMainLoop {
public:
    RealMainLoop()
        : m_loop(dispatch::RunLoop::create(std::make_shared<dispatch::RealClock>())),
          m_previous(dispatch::RunLoop::main()) {
        dispatch::RunLoop::setMain(m_loop);
        m_loop->bindToCurrentThread();
    }
    ~RealMainLoop() { dispatch::RunLoop::setMain(m_previous); }
    RealMainLoop(const RealMainLoop&) = delete;
    RealMainLoop& operator=(const RealMainLoop&) = delete;

    const std::shared_ptr<dispatch::RunLoop>& loop() const { return m_loop; }

private:
    std::shared_ptr<dispatch::RunLoop> m_loop;
    std::shared_ptr<dispatch::RunLoop> m_previous;
};

}  // namespace testing_support

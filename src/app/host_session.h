#pragma once

#include <iosfwd>
#include <memory>
#include <string_view>

#include "app/host_command.h"
#include "app/host_settler.h"
#include "platform/ui/screen/screen_driver.h"

namespace ui {
class Window;
}

namespace reelhaven {

class HostSystem;

// Carries out the host's commands on one window as its user and its system would, lets the app
// settle after each, and prints: the screen after every command when `printing` is
// `afterEachCommand` (a terminal), else only on `show` (a script); failures go to `err` with
// what the screen offers instead. Main thread only.
class HostSession {
public:
    enum class Printing { afterEachCommand, onShow };
    enum class Outcome { done, failed, quit };

    HostSession(std::shared_ptr<ui::Window> window, HostSystem& system, HostSettler::FlushShownScreens flush,
                std::ostream& out, std::ostream& err, Printing printing);

    Outcome executeLine(std::string_view line);
    // As executeLine, printing no screen: steps the launcher takes on the user's behalf.
    Outcome executeLineQuietly(std::string_view line);
    Outcome execute(const HostCommand& command);
    void printScreen();
    // `shortDelays`: also the app's own short delays run (HostSettler).
    void settle(bool shortDelays = true);

    // Set from the main queue when the process is asked to stop; a `wait` ends early then.
    void setStopRequested() { m_stopRequested = true; }
    bool stopRequested() const { return m_stopRequested; }

private:
    foundation::Status perform(const HostCommand& command);
    foundation::Status click(const HostCommand& command);
    foundation::Status search(const std::string& text);
    foundation::Status cancel();
    foundation::Status alert(const std::string& action);
    foundation::Status pick(const std::vector<std::string>& paths);
    foundation::Status pressKeys(const std::vector<std::string>& names);
    void wait(double seconds);

    std::shared_ptr<ui::Window> m_window;
    HostSystem& m_system;  // the host owns both the system and this session
    ui::ScreenDriver m_driver;
    HostSettler m_settler;
    std::ostream& m_out;
    std::ostream& m_err;
    Printing m_printing;
    bool m_stopRequested = false;
};

}  // namespace reelhaven

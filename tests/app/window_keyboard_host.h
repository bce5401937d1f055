#pragma once

// The app in a real window in this process, for the tests that type into it: the window the
// typing tests open (a phone's size, no restored session, no sound, a script host that prints
// only on `show`), and text and keys given as the window system delivers them, each followed by
// the app settling.

#include <cstdint>
#include <optional>
#include <string>

#include "in_process_host.h"
#include "platform/display/display_host.h"
#include "platform/ui/gestures/press.h"
#include "support/display_stage.h"

namespace reelhaven {

class WindowKeyboardHost : protected InProcessHost<testing_support::RealMainLoop> {
protected:
    static LauncherOptions windowOptions() {
        LauncherOptions options;
        options.size = std::pair(390.0, 844.0);
        options.restore = false;
        options.display = true;
        options.audioOutput = "null";
        options.script = "script";  // prints only on `show`
        return options;
    }
    display::DisplayHost& window() { return *host->display(); }
    void type(const std::string& text) {
        window().typeText(text);
        host->session().settle();
    }
    // `symbol` is what the key gives on the layout, where that is not what its place gives on a
    // US one.
    void press(int usage, std::uint32_t modifiers = ui::Key::none, std::optional<char32_t> symbol = std::nullopt) {
        window().pressKey(usage, modifiers, symbol);
        host->session().settle();
    }
};

}  // namespace reelhaven

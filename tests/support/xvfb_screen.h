#pragma once

#include <sys/types.h>

#include <string>

namespace testing_support {

// An Xvfb server of the test's own with one screen of the given size ("1280x1000x24"), for a
// test that needs a screen of a size of its choosing. The server picks a free display number
// itself (-displayfd), so tests started at the same moment never share one; it listens on its
// local socket only and stops when this goes. `display()` is empty when Xvfb could not start.
class XvfbScreen {
public:
    explicit XvfbScreen(const std::string& screen);
    ~XvfbScreen();
    XvfbScreen(const XvfbScreen&) = delete;
    XvfbScreen& operator=(const XvfbScreen&) = delete;

    // ":N", for DISPLAY.
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace testing_support

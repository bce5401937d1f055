#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/error.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/views/point.h"
#include "platform/ui/views/size.h"

namespace reelhaven {

// What the host does as the operating system around the app, beyond the user's touches: hand it
// a file or URL, send it to the background and bring it back, and drive its desktop window.
// Main thread only.
class HostSystem {
public:
    virtual ~HostSystem() = default;
    // A path is offered to be opened in place; anything with a scheme is handed over as a URL.
    virtual foundation::Status open(const std::string& pathOrURL) = 0;
    virtual void enterBackground() = 0;
    virtual void enterForeground() = 0;
    // Writes what the desktop window shows as PNG; an error where there is no window.
    virtual foundation::Status screenshot(const std::string& path) = 0;
    // Whether a desktop window shows the app; without one, keys go to the screen directly.
    virtual bool hasWindow() const { return false; }
    // Called over and over while a command waits: the desktop window shows what changed (its
    // video comes only as it is shown).
    virtual void serveWindow() {}
    // Serves the app and its desktop window until `done` holds, as the window's own loop does:
    // asleep until a post, a timer, a video frame or the user's input (a script's `wait`). False
    // when the window was closed meanwhile.
    virtual bool serveWindowUntil(const std::function<bool()>& done) = 0;
    // Input through the desktop window, delivered as its window system delivers the user's (a
    // click in window points, a key, the window's edge dragged); an error where there is no window.
    virtual foundation::Status click(ui::Point at) = 0;
    // Where the desktop window drew the element with handle `#handle` it draws outside the views
    // (a bar item, an alert's action, a menu's entry) so that a click there reaches it; none
    // where it drew none (covered, or no window).
    virtual std::optional<ui::Point> drawnPointOf(int /*handle*/) { return std::nullopt; }
    virtual foundation::Status pressKey(const ui::Key& key) = 0;
    virtual foundation::Status resizeWindow(ui::Size points) = 0;
};

}  // namespace reelhaven

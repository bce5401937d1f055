#pragma once

// A connection of the test's own to the X server, with the XTest extension that sends input as
// a person's devices would; null when there is no X server or it lacks XTest (under Wayland).

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace testing_support {

inline Display* openXTestDisplay(const char* name) {
    Display* display = XOpenDisplay(name);
    if (!display) return nullptr;
    int event = 0, error = 0, major = 0, minor = 0;
    if (XTestQueryExtension(display, &event, &error, &major, &minor)) return display;
    XCloseDisplay(display);
    return nullptr;
}

}  // namespace testing_support

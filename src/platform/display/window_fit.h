#pragma once

#include "platform/ui/views/size.h"

namespace display {

// How a window asked for at `wanted` points shows on a screen whose usable area (the desktop less
// its panels) is `usable`: as asked when it fits, else scaled down whole so that it fits, keeping
// its shape and its bars on the screen. The app lays out in `wanted` all the same; only its pixels
// are scaled. An empty `usable` (the desktop did not say) leaves the size as asked.
struct WindowFit {
    ui::Size size;     // on the screen, in the window system's units
    double scale = 1;  // the window system's units per point
};
WindowFit fitWindow(ui::Size wanted, ui::Size usable);

}  // namespace display

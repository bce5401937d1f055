#pragma once

#include "platform/ui/views/size.h"

namespace display {

// The size a window asked for at `wanted` points opens at on a screen whose usable area (the
// desktop less its panels) is `usable`: as asked when it fits, else scaled down whole, so a pad's
// upright screen keeps its shape and its bars stay on the screen. Never below `minimum` on either
// side (the smallest size every screen lays out in): on a screen smaller than that the window keeps
// its shape and reaches past it as little as it must. An empty `usable` (the desktop did not say)
// leaves the size as asked.
ui::Size fittedWindowSize(ui::Size wanted, ui::Size usable, ui::Size minimum);

}  // namespace display

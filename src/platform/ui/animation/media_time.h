#pragma once

namespace ui {

// Seconds on the main run loop's clock: the global time of every layer and animation.
double currentMediaTime();

}  // namespace ui
